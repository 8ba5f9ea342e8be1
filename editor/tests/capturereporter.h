#pragma once
// Records every message the editor reports.

#include "core/reporter.h"

#include <QList>

class CCaptureReporter : public CReporter {
public:
    CCaptureReporter() { CReporter::Install(this); }
    ~CCaptureReporter() override { CReporter::Install(nullptr); }
    void Show(const CMessage& message) override { messages.append(message); }

    QList<CMessage> messages;
};
