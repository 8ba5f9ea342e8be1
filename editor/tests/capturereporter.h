#pragma once
// Records every message the editor reports.

#include "core/reporter.h"

#include <QList>
#include <QStringList>

class CCaptureReporter : public CReporter {
public:
    CCaptureReporter() { CReporter::Install(this); }
    ~CCaptureReporter() override { CReporter::Install(nullptr); }
    void Show(const CMessage& message) override { messages.append(message); }
    QStringList Texts() const {
        QStringList texts;
        for (const CMessage& m : messages)
            texts << m.text;
        return texts;
    }

    QList<CMessage> messages;
};
