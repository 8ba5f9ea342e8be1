// The frame's size and place rules without a window: the height the elements need, the narrowest
// width, a placement kept on the screen with the window manager's frame, and the custom view's
// text.

#include "core/commandids.h"
#include "core/framegeometry.h"

#include <gtest/gtest.h>

namespace {

TFrameGeometry Measured(int menuBarHeight) {
    TFrameGeometry::Needs needs;
    needs.barsHeight = 300;
    needs.menuBarHeight = menuBarHeight;
    needs.displayWidth = 400;
    needs.barsMinimumWidth = 350;
    return TFrameGeometry(needs);
}

const QRect Current(100, 120, 500, 330);

struct Placement {
    const char* name;
    int x, y, width;
    QRect expected;
    QRect current = Current; // null: a new window, never placed
};

const QRect Screen(0, 30, 1920, 1050); // a panel takes the top 30 pixels
const QMargins WindowFrame(2, 24, 2, 2);

class PlaceRule : public ::testing::TestWithParam<Placement> {};

TEST_P(PlaceRule, KeepsTheWindowWholeOnTheScreen) {
    const Placement& p = GetParam();
    EXPECT_EQ(Measured(30).Place(p.x, p.y, p.width, p.current, Screen, WindowFrame), p.expected)
        << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    FrameGeometry, PlaceRule,
    ::testing::Values(
        Placement{"zeros keep the place, the width is the minimum", 0, 0, 0, {100, 120, 400, 330}},
        Placement{"a stored place and width", 40, 60, 620, {40, 60, 620, 330}},
        Placement{"narrower than the display is widened", 40, 60, 50, {40, 60, 400, 330}},
        Placement{"past the right and bottom edges", 5000, 5000, 600, {1318, 748, 600, 330}},
        Placement{"above the panel, left of the screen", -500, 10, 600, {2, 54, 600, 330}},
        Placement{"wider than the screen keeps its left edge", 100, 100, 3000, {2, 100, 3000, 330}},
        // The window and its frame (404 x 356) in the middle of the area below the panel.
        Placement{"a new window without a place is centred", 0, 0, 0, {760, 401, 400, 330}, {}},
        Placement{"a new window with a place goes there", 40, 60, 620, {40, 60, 620, 330}, {}},
        Placement{"a new window with a place at the left edge", 0, 60, 0, {2, 60, 400, 330}, {}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(FrameGeometry, HeightIsTheBarsAndTheMenuBarWhenShown) {
    EXPECT_EQ(Measured(30).Height(), 330);
    EXPECT_EQ(Measured(0).Height(), 300);
    EXPECT_EQ(Measured(0).MinimumWidth(), 400);
    // Without a screen the place is taken as asked.
    EXPECT_EQ(Measured(0).Place(-50, 9000, 0, Current, QRect(), WindowFrame),
              QRect(-50, 9000, 400, 300));
}

TEST(FrameGeometry, ViewsAreElementIdsJoinedByBlanks) {
    EXPECT_EQ(TFrameGeometry::FormatView(TFrameGeometry::PresetElements(CmViewButtonsOff)),
              QString("%1 %2").arg(CmMenuBar).arg(CmStatusBar));
    const QList<int> all = TFrameGeometry::PresetElements(CmViewEverything);
    EXPECT_EQ(all, TFrameGeometry::Elements());
    EXPECT_EQ(TFrameGeometry::ParseView(TFrameGeometry::FormatView(all)), all);
    EXPECT_EQ(TFrameGeometry::ParseView(QString("  %1 junk  %2 ").arg(CmButtons).arg(CmMenuBar)),
              (QList<int>{CmButtons, CmMenuBar}));
    EXPECT_TRUE(TFrameGeometry::PresetElements(CmPlay).isEmpty());
}

} // namespace
