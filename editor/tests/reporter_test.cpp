#include "capturereporter.h"
#include "core/reporter.h"

#include <gtest/gtest.h>

TEST(Reporter, InstalledReporterReceivesMessagesUntilUninstalled) {
    {
        CCaptureReporter capture;
        ReportMessage({QStringLiteral("Error - Out of Memory!"), QString(), CMessageIcon::Warning});
        ASSERT_EQ(capture.messages.size(), 1);
        EXPECT_EQ(capture.messages[0].text, QStringLiteral("Error - Out of Memory!"));
        EXPECT_TRUE(capture.messages[0].caption.isEmpty());
    }
    EXPECT_EQ(CReporter::Installed(), nullptr);
}
