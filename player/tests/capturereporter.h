#pragma once
// Records every message and beep the player reports; answers from a queue the test fills.

#include "core/reporter.h"

#include <QList>

class TCaptureReporter : public TReporter {
public:
    TCaptureReporter() { TReporter::Install(this); }
    ~TCaptureReporter() override { TReporter::Install(nullptr); }

    TMessageAnswer Show(const TMessage& message) override {
        messages.append(message);
        return answers.isEmpty() ? message.defaultAnswer : answers.takeFirst();
    }
    void Beep() override { ++beeps; }

    QList<TMessage> messages;
    QList<TMessageAnswer> answers;
    int beeps = 0;
};
