// Accelerators that share their key with a menu-bar mnemonic: the accelerator must run, once,
// and only for keys typed in its own window.

#include "core/commandids.h"
#include "core/mainmenu.h"
#include "ui/acceleratorfilter.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class Accelerators : public ::testing::Test {
protected:
    void SetUp() override {
        for (const TMenuItem& popup : menu.Popups())
            window.menuBar()->addMenu(new QMenu(popup.text, &window));
        for (QAction* action : menu.Actions())
            if (!action->shortcut().isEmpty())
                window.addAction(action);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    int Commands(int key, Qt::KeyboardModifiers modifiers, int id) {
        QSignalSpy spy(&menu, &TMainMenu::command);
        QTest::keyClick(window.windowHandle(), Qt::Key(key), modifiers);
        QTest::qWait(20);
        int count = 0;
        for (const auto& args : spy)
            count += args.at(0).toInt() == id;
        return count;
    }

    QMainWindow window;
    TMainMenu menu;
};

// Alt+S is also the mnemonic of "&Song": without the filter Qt runs neither.
TEST_F(Accelerators, FilterLetsTheAcceleratorWin) {
    TAcceleratorFilter filter(&window, menu.Actions());
    EXPECT_EQ(Commands(Qt::Key_S, Qt::AltModifier, CmSaveCustomView), 1);
    EXPECT_EQ(Commands(Qt::Key_C, Qt::AltModifier, CmCustomView), 1);
    EXPECT_EQ(Commands(Qt::Key_1, Qt::AltModifier, CmViewEverything), 1);
    EXPECT_EQ(Commands(Qt::Key_P, Qt::ControlModifier, CmPause), 1);
    EXPECT_EQ(Commands(Qt::Key_F1, Qt::NoModifier, CmHelpContents), 1);
}

TEST_F(Accelerators, DisabledActionAndOtherWindowsAreLeftAlone) {
    TAcceleratorFilter filter(&window, menu.Actions());
    menu.Action(CmSaveCustomView)->setEnabled(false);
    EXPECT_EQ(Commands(Qt::Key_S, Qt::AltModifier, CmSaveCustomView), 0);
    menu.Action(CmSaveCustomView)->setEnabled(true);

    QMainWindow other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    QSignalSpy spy(&menu, &TMainMenu::command);
    QTest::keyClick(other.windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(spy.count(), 0);
}

} // namespace
