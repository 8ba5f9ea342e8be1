#include "core/reporter.h"

#include <cstdio>

namespace {
TReporter* installedReporter = nullptr;
}

void TReporter::Install(TReporter* reporter) {
    installedReporter = reporter;
}

TReporter* TReporter::Installed() {
    return installedReporter;
}

TMessageAnswer ReportMessage(const TMessage& message) {
    if (installedReporter)
        return installedReporter->Show(message);
    std::fprintf(stderr, "%s: %s\n", qPrintable(message.caption), qPrintable(message.text));
    return message.defaultAnswer;
}

void ReportBeep() {
    if (installedReporter)
        installedReporter->Beep();
}
