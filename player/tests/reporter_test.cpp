#include "capturereporter.h"
#include "core/reporter.h"

#include <gtest/gtest.h>

TEST(Reporter, InstalledReporterReceivesMessagesUntilUninstalled) {
    TMessage question{
        QStringLiteral("Delete album?"), QStringLiteral("Korvo"), TMessageIcon::Question,
        TMessageButtons::YesNo,          TMessageAnswer::No,      true};
    {
        TCaptureReporter capture;
        capture.answers.append(TMessageAnswer::Yes);
        EXPECT_EQ(ReportMessage(question), TMessageAnswer::Yes);
        EXPECT_EQ(ReportMessage(question), TMessageAnswer::No)
            << "no scripted answer left: the default";
        ReportBeep();
        ASSERT_EQ(capture.messages.size(), 2);
        EXPECT_EQ(capture.messages[0].text, QStringLiteral("Delete album?"));
        EXPECT_EQ(capture.beeps, 1);
    }
    EXPECT_EQ(TReporter::Installed(), nullptr);
    EXPECT_EQ(ReportMessage(question), TMessageAnswer::No)
        << "without a reporter: the default answer";
}
