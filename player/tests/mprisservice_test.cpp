// The MPRIS service's requests on a player's session over the hand-driven drive: they are carried
// out one at a time in the order they came, even when a command spins an event loop of its own
// (a message box), so a burst from a held media key never runs inside another request.

#include "capturereporter.h"
#include "drivetesting.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/playersession.h"
#include "platform/mprisservice.h"

#include <QAction>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 5000;

class MprisServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = qgetenv("KORVO_HOME");
        qputenv("KORVO_HOME", home.path().toLocal8Bit());
        app = std::make_unique<TApp>(home.filePath("korvo32"));
        session = std::make_unique<TPlayerSession>(
            *app, std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000, 60000}), volume);
        session->SetUp();
        session->Controller().Timer().stop();
        ASSERT_EQ(session->Controller().LoadAlbum(true), 0);
    }
    void TearDown() override {
        session->ShutDown();
        session.reset();
        app.reset();
        qputenv("KORVO_HOME", savedHome);
    }

    QTemporaryDir home;
    QByteArray savedHome;
    TCaptureReporter reporter;
    TFakeAuxOutput volume{QStringList{}};
    std::unique_ptr<TApp> app;
    std::unique_ptr<TPlayerSession> session;
};

TEST_F(MprisServiceTest, ARequestWaitsUntilTheOneBeforeHasReturned) {
    QList<int> commands;
    int depth = 0;
    int deepest = 0;
    TMprisService mpris(*session);
    // The commands arrive as their menu items send them.
    for (int id : {CmPlay, CmStop, CmCirculate}) {
        QObject::connect(session->Menu().Action(id), &QAction::triggered, [&, id] {
            deepest = qMax(deepest, ++depth);
            commands << id;
            // The first command shows a message; more requests come in while its event loop runs.
            if (commands.size() == 1) {
                mpris.Stop();
                mpris.Next();
                QCoreApplication::processEvents();
            }
            --depth;
        });
    }
    mpris.Play();
    ASSERT_TRUE(WaitFor([&] { return commands.size() == 3; }, kWaitMs));
    EXPECT_EQ(deepest, 1) << "a request ran inside another";
    EXPECT_EQ(commands, (QList<int>{CmPlay, CmStop, CmCirculate}));
}

// Volume and options are the session's: a level set over the bus moves the volume model, and
// Shuffle and LoopStatus read and flip the Options check marks.
TEST_F(MprisServiceTest, VolumeAndOptionsAreTheSessions) {
    TFakeAuxOutput devices{QStringList{"Master"}};
    TPlayerSession withDevice(*app, std::make_unique<TManualDrive>(), devices);
    withDevice.Volume().SetUp(1);
    TMprisService mpris(withDevice);
    mpris.SetVolume(0.25);
    ASSERT_TRUE(WaitFor([&] { return withDevice.Volume().Level() == 2500; }, kWaitMs));
    EXPECT_DOUBLE_EQ(mpris.Volume(), 0.25);
    EXPECT_EQ(devices.Volume(0), TAuxOutput::MakeVolume(16383, 16383));

    withDevice.Options().SetChecked(CmRandomOrder, false);
    EXPECT_FALSE(mpris.Shuffle());
    mpris.SetShuffle(true);
    ASSERT_TRUE(WaitFor([&] { return withDevice.Options().IsChecked(CmRandomOrder); }, kWaitMs));
    EXPECT_TRUE(mpris.Shuffle());
}

} // namespace
