// The MPRIS service's requests on a play controller over the hand-driven drive: they are carried
// out one at a time in the order they came, even when a command spins an event loop of its own
// (a message box), so a burst from a held media key never runs inside another request.

#include "controllerfixture.h"
#include "drivetesting.h"

#include "core/commandids.h"
#include "platform/mprisservice.h"

#include <QCoreApplication>

namespace {

constexpr int kWaitMs = 5000;

class MprisServiceTest : public ControllerFixture {};

TEST_F(MprisServiceTest, ARequestWaitsUntilTheOneBeforeHasReturned) {
    Load();
    QList<int> commands;
    int depth = 0;
    int deepest = 0;
    TMprisHooks hooks;
    TMprisService* service = nullptr;
    hooks.command = [&](int id) {
        deepest = qMax(deepest, ++depth);
        commands << id;
        // The first command shows a message; more requests come in while the event loop runs it.
        if (commands.size() == 1) {
            service->Stop();
            service->Next();
            QCoreApplication::processEvents();
        }
        --depth;
    };
    TMprisService mpris(*controller, hooks);
    service = &mpris;
    mpris.Play();
    ASSERT_TRUE(WaitFor([&] { return commands.size() == 3; }, kWaitMs));
    EXPECT_EQ(deepest, 1) << "a request ran inside another";
    EXPECT_EQ(commands, (QList<int>{CmPlay, CmStop, CmCirculate}));
}

} // namespace
