#include "core/reporter.h"

#include <cstdio>

namespace {
CReporter* installedReporter = nullptr;
}

void CReporter::Install(CReporter* reporter) {
    installedReporter = reporter;
}

CReporter* CReporter::Installed() {
    return installedReporter;
}

void ReportMessage(const CMessage& message) {
    if (installedReporter) {
        installedReporter->Show(message);
        return;
    }
    const QString caption =
        message.caption.isEmpty() ? QStringLiteral("Wavelathe") : message.caption;
    std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(message.text));
}
