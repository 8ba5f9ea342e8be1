// The whole player window on a hand-driven drive: views and element toggling, the hidden menu
// bar and the tray's window-menu items, the custom view, the fixed height, the captions and the
// minimised icon, the mouse gestures and the hints of long operations.

#include "capturereporter.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/framegeometry.h"
#include "core/mcidevice.h"
#include "core/playersession.h"
#include "platform/helpviewer.h"
#include "ui/buttongadget.h"
#include "ui/colorstatic.h"
#include "ui/displaypanel.h"
#include "ui/hseparator.h"
#include "ui/mainframe.h"
#include "ui/mainwindow.h"
#include "ui/mcontrolbar.h"
#include "ui/mstatusbar.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QList<int> Bars{CmQueueBox, CmPositionSlider, CmVolumeBar, CmButtons, CmStatusBar};

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Window : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = qgetenv("KORVO_HOME");
        qputenv("KORVO_HOME", home.path().toLocal8Bit());
        // Settings that keep the window an ordinary one and the player quiet until asked.
        QFile ini(home.filePath("Korvo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\nAlwaysonTop=0\nAutoPlay=0\nMiniHelp=0\n" + extraSettings);
        ini.close();
        app = std::make_unique<TApp>(home.filePath("korvo32"));
        auto service = std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000, 60000});
        drive = service.get();
        session = std::make_unique<TPlayerSession>(*app, std::move(service), volume);
        frame = std::make_unique<TMainFrame>(*session);
        Player().Timer().stop();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        // No modifier key is left held by an earlier test's events.
        QTest::keyRelease(frame->windowHandle(), Qt::Key_Shift, Qt::NoModifier);
    }
    void TearDown() override {
        frame.reset();
        session.reset();
        app.reset();
        qputenv("KORVO_HOME", savedHome);
    }

    TPlayController& Player() { return session->Controller(); }
    void Keys(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier) {
        QTest::keyClick(frame.get(), key, modifiers);
    }
    QList<int> Shown() const {
        QList<int> shown;
        if (frame->IsMenuAttached())
            shown << CmMenuBar;
        for (int id : Bars)
            if (!frame->Bar(id)->isHidden())
                shown << id;
        return shown;
    }
    QStringList VisibleSystemItems() const {
        QStringList items;
        for (QAction* action : frame->SystemMenu()->actions())
            if (action->isVisible() && !action->isSeparator())
                items << action->text();
        return items;
    }
    int DisplayHeight() const { return frame->Client()->Display()->height(); }
    // Loads the disc as an album whose title and song titles come from the database.
    void LoadTitledAlbum() {
        ASSERT_EQ(Player().LoadAlbum(true), 0);
        TAlbumContents contents;
        contents.title = "Coastal Roads";
        contents.totalLengthMs = Player().Album().TotalLength();
        contents.numberOfTracks = 3;
        contents.titles = QStringList{"Overture", "Night Drive", "Harbour Lights"};
        contents.queue = {1, 2, 3};
        ASSERT_TRUE(Player().Database().WriteAlbum(Player().Album().Key(), contents));
        ASSERT_EQ(Player().LoadAlbum(true), 0);
    }

    QByteArray extraSettings;
    QTemporaryDir home;
    QByteArray savedHome;
    TCaptureReporter reporter;
    TFakeAuxOutput volume{QStringList{"Master"}};
    std::unique_ptr<TApp> app;
    TManualDrive* drive = nullptr;
    std::unique_ptr<TPlayerSession> session;
    std::unique_ptr<TMainFrame> frame;
};

// ----- views

struct TViewCase {
    Qt::Key key;
    QList<int> shown;
};

class Views : public Window, public ::testing::WithParamInterface<TViewCase> {};

TEST_P(Views, PresetShowsExactlyItsElementsAndTheHeightFollows) {
    Keys(GetParam().key);
    EXPECT_EQ(Shown(), GetParam().shown);
    for (int id : TFrameGeometry::Elements())
        EXPECT_EQ(session->Options().IsChecked(id), GetParam().shown.contains(id)) << id;
    int expected = DisplayHeight();
    for (int id : Bars)
        if (GetParam().shown.contains(id))
            expected += frame->Bar(id)->sizeHint().height();
    // The separator above the status bar comes and goes with it.
    if (GetParam().shown.contains(CmStatusBar))
        expected += frame->findChild<THSeparator*>()->height();
    if (GetParam().shown.contains(CmMenuBar))
        expected += frame->menuBar()->sizeHint().height();
    EXPECT_EQ(frame->height(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    AltDigits, Views,
    ::testing::Values(
        TViewCase{Qt::Key_1,
                  {CmMenuBar, CmQueueBox, CmPositionSlider, CmVolumeBar, CmButtons, CmStatusBar}},
        TViewCase{Qt::Key_2, {CmMenuBar, CmQueueBox, CmPositionSlider, CmButtons, CmStatusBar}},
        TViewCase{Qt::Key_3, {CmMenuBar, CmQueueBox, CmButtons, CmStatusBar}},
        TViewCase{Qt::Key_4, {CmMenuBar, CmButtons, CmStatusBar}},
        TViewCase{Qt::Key_5, {CmMenuBar, CmStatusBar}}, TViewCase{Qt::Key_6, {CmMenuBar}},
        TViewCase{Qt::Key_7, {}}));

TEST_F(Window, AltSevenLeavesTheDisplayAloneAndAltMBringsTheMenuBack) {
    Keys(Qt::Key_7);
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(frame->height(), DisplayHeight());
    EXPECT_EQ(VisibleSystemItems().last(), "Re&store Menu");

    const int before = frame->height();
    Keys(Qt::Key_M);
    EXPECT_TRUE(frame->IsMenuAttached());
    EXPECT_TRUE(session->Options().IsChecked(CmMenuBar));
    EXPECT_EQ(frame->height(), before + frame->menuBar()->sizeHint().height());
    EXPECT_FALSE(VisibleSystemItems().contains("Re&store Menu"));
}

TEST_F(Window, RestoreMenuItemOfTheTrayMenuBringsTheMenuBack) {
    Keys(Qt::Key_7);
    ASSERT_FALSE(frame->IsMenuAttached());
    for (QAction* action : frame->SystemMenu()->actions())
        if (action->text() == "Re&store Menu")
            action->trigger();
    EXPECT_TRUE(frame->IsMenuAttached());
    EXPECT_EQ(frame->height(), DisplayHeight() + frame->menuBar()->sizeHint().height());
    EXPECT_EQ(VisibleSystemItems(),
              (QStringList{"&Play", "Pa&use", "&Eject/Retract", "Repea&t", "Ci&rculate", "&Mute"}));
}

TEST_F(Window, SavedCustomViewHoldsWhatIsShownAndComesBack) {
    Keys(Qt::Key_7);
    session->Menu().Action(CmButtons)->trigger();
    ASSERT_EQ(Shown(), QList<int>{CmButtons});
    Keys(Qt::Key_S);
    EXPECT_TRUE(Slurp(home.filePath("Korvo.ini")).contains("\nCustomView=7860\n"));

    Keys(Qt::Key_1);
    ASSERT_EQ(Shown().size(), 6);
    Keys(Qt::Key_C);
    EXPECT_EQ(Shown(), QList<int>{CmButtons});
    EXPECT_EQ(frame->height(), DisplayHeight() + frame->Bar(CmButtons)->sizeHint().height());
}

TEST_F(Window, MissingCustomViewShowsEverything) {
    Keys(Qt::Key_7);
    Keys(Qt::Key_C);
    EXPECT_EQ(Shown(), (QList<int>{CmMenuBar, CmQueueBox, CmPositionSlider, CmVolumeBar, CmButtons,
                                   CmStatusBar}));
}

TEST_F(Window, TogglingOneBarKeepsTheOthersAndChangesTheHeightByItsHeight) {
    Keys(Qt::Key_1);
    const int before = frame->height();
    const int barHeight = frame->Bar(CmVolumeBar)->height();
    session->Menu().Action(CmVolumeBar)->trigger();
    EXPECT_EQ(Shown(),
              (QList<int>{CmMenuBar, CmQueueBox, CmPositionSlider, CmButtons, CmStatusBar}));
    EXPECT_EQ(frame->height(), before - barHeight);
    session->Menu().Action(CmVolumeBar)->trigger();
    EXPECT_EQ(frame->height(), before);
}

TEST_F(Window, HeightIsFixedWhileTheWidthFollowsTheUserDownToTheDisplay) {
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    const QSize start = frame->size();
    frame->resize(start.width() + 80, start.height() + 60);
    EXPECT_EQ(frame->size(), QSize(start.width() + 80, start.height()));
    frame->resize(start.width() + 10, start.height() - 30);
    EXPECT_EQ(frame->height(), start.height());

    Keys(Qt::Key_7);
    frame->resize(10, 10);
    EXPECT_EQ(frame->size(), frame->Client()->Display()->size());
}

TEST_F(Window, DefaultSizeGoesBackToTheNarrowestWidth) {
    const int narrow = frame->width();
    frame->resize(narrow + 120, frame->height());
    ASSERT_EQ(frame->width(), narrow + 120);
    session->Menu().Action(CmDefaultSize)->trigger();
    EXPECT_EQ(frame->width(), narrow);
}

// ----- caption and minimised icon

TEST_F(Window, MinimisedCaptionNamesAlbumSongAndTrack) {
    LoadTitledAlbum();
    EXPECT_EQ(frame->windowTitle(), "Coastal Roads");
    ASSERT_EQ(Player().SelectAndPlay(2), 0);
    EXPECT_EQ(frame->StatusLine()->FieldText(TMStatusBar::AlbumFieldId), "Coastal Roads");
    EXPECT_EQ(frame->StatusLine()->FieldText(TMStatusBar::SongFieldId), "Harbour Lights");

    frame->showMinimized();
    EXPECT_EQ(frame->windowTitle(), "Coastal Roads - Harbour Lights (3)");
    // The window's icon is the progress icon while minimised.
    const QImage minimised = frame->windowIcon().pixmap(32).toImage();
    EXPECT_EQ(minimised.pixelColor(0, 0), QColor(Qt::black));
    frame->showNormal();
    EXPECT_EQ(frame->windowTitle(), "Coastal Roads");
    EXPECT_NE(frame->windowIcon().pixmap(32).toImage().pixelColor(0, 0), QColor(Qt::black));
}

TEST_F(Window, MinimisedCaptionWithoutAlbumTitleOrSong) {
    EXPECT_EQ(session->Caption(true), "Korvo");
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    Player().Album().SetTitle(QString());
    ASSERT_EQ(Player().SelectAndPlay(1), 0);
    EXPECT_EQ(session->Caption(true), Player().CurrentTitle() + " (2)");
    EXPECT_EQ(session->Caption(false), "Korvo");
}

QColor InnerCorner(const QPixmap& icon) {
    // The top-left corner of the level area, which the disc picture leaves uncovered.
    const QImage image = icon.toImage();
    return image.pixelColor(QPoint(5, 5) * icon.devicePixelRatio());
}

TEST_F(Window, MinimisedIconRisesWithTheSong) {
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    ASSERT_EQ(Player().SelectAndPlay(0), 0);
    EXPECT_EQ(InnerCorner(frame->Client()->MinimisedIcon(2)), QColor(0xC0, 0xC0, 0xC0));
    drive->Advance(29900);
    Player().Tick();
    EXPECT_EQ(frame->Client()->MinimisedProgress(), 100);
    EXPECT_EQ(InnerCorner(frame->Client()->MinimisedIcon(2)), QColor(0x40, 0x80, 0x80));
}

TEST(MinimisedIcon, RowChangesAtMostOncePerPixel) {
    int changes = 0;
    for (int percent = 1; percent <= 100; ++percent) {
        const int row = TMainWindow::ProgressRow(percent);
        EXPECT_GE(row, TMainWindow::ProgressRow(percent - 1));
        changes += row != TMainWindow::ProgressRow(percent - 1);
    }
    EXPECT_EQ(changes, TMainWindow::ProgressRow(100));
    EXPECT_LT(TMainWindow::ProgressRow(100), TMainWindow::IconSize);
}

// ----- gestures and the tray menu

struct TGestureCase {
    Qt::KeyboardModifiers modifiers;
    bool paused, repeat, muted;
};

class Gestures : public Window, public ::testing::WithParamInterface<TGestureCase> {};

TEST_P(Gestures, RightClickOnAnyDisplayFieldActsOnTheWindow) {
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    ASSERT_EQ(Player().SelectAndPlay(0), 0);
    // Display fields, and the free ends of two bars: every right click reaches the window.
    QList<QWidget*> targets;
    for (int id : {TDisplayPanel::IdTime, TDisplayPanel::IdTotal, TDisplayPanel::IdRepeat})
        targets << frame->Client()->Display()->Field(id);
    targets << frame->Bar(CmButtons) << frame->Bar(CmStatusBar);
    for (QWidget* target : targets) {
        const QPoint at(target->width() - 3, target->height() / 2);
        QTest::mouseClick(target, Qt::RightButton, GetParam().modifiers, at);
        EXPECT_EQ(Player().IsPaused(), GetParam().paused) << target->objectName().toStdString();
        EXPECT_EQ(Player().IsRepeat(), GetParam().repeat) << target->objectName().toStdString();
        EXPECT_EQ(Player().IsMuted(), GetParam().muted) << target->objectName().toStdString();
        // The same click again undoes it.
        QTest::mouseClick(target, Qt::RightButton, GetParam().modifiers, at);
        EXPECT_FALSE(Player().IsPaused() || Player().IsRepeat() || Player().IsMuted())
            << target->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Modifiers, Gestures,
                         ::testing::Values(TGestureCase{Qt::NoModifier, true, false, false},
                                           TGestureCase{Qt::ShiftModifier, false, true, false},
                                           TGestureCase{Qt::ControlModifier, false, false, true}));

TEST_F(Window, AltRightClickOpensTheElementsMenuWithCurrentCheckMarks) {
    Keys(Qt::Key_4);
    QWidget* display = frame->Client()->Display();
    QTest::mouseClick(display, Qt::RightButton, Qt::AltModifier, display->rect().center());
    QMenu* elements = frame->ElementsMenu();
    ASSERT_TRUE(elements->isVisible());
    QStringList checked;
    for (QAction* action : elements->actions())
        if (action->isChecked())
            checked << action->text();
    EXPECT_EQ(checked, (QStringList{"&Menu\tAlt+M", "&Buttons", "&Status Bar"}));
    QStringList items;
    for (QAction* action : elements->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    // Without a system tray (as here) the window menu's items follow.
    EXPECT_EQ(items, (QStringList{"&Menu\tAlt+M",
                                  "-",
                                  "&Queue Box",
                                  "&Position Slider",
                                  "&Volume Bar",
                                  "-",
                                  "&Buttons",
                                  "&Status Bar",
                                  "-",
                                  "Always on &Top",
                                  "-",
                                  "&Play",
                                  "Pa&use",
                                  "&Eject/Retract",
                                  "-",
                                  "Repea&t",
                                  "Ci&rculate",
                                  "&Mute",
                                  "-",
                                  "Re&store Menu"}));
    elements->close();
    EXPECT_FALSE(Player().IsPaused());
}

TEST_F(Window, DoubleClickOnTheDisplayTogglesTheMenuBar) {
    QWidget* display = frame->Client()->Display();
    QTest::mouseDClick(display, Qt::LeftButton, Qt::NoModifier, display->rect().center());
    EXPECT_FALSE(frame->IsMenuAttached());
    EXPECT_FALSE(session->Options().IsChecked(CmMenuBar));
    QTest::mouseDClick(display, Qt::LeftButton, Qt::NoModifier, display->rect().center());
    EXPECT_TRUE(frame->IsMenuAttached());
}

QAction* SystemItem(TMainFrame& frame, int id) {
    for (QAction* action : frame.SystemMenu()->actions())
        if (action->data().toInt() == id)
            return action;
    return nullptr;
}

TEST_F(Window, CheckMarksOfPauseAndRepeatFollowThePlayerEverywhere) {
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    QAction* pause = SystemItem(*frame, CmPause);
    EXPECT_FALSE(pause->isEnabled());
    EXPECT_FALSE(session->Menu().Action(CmPause)->isEnabled());
    ASSERT_EQ(Player().SelectAndPlay(0), 0);
    EXPECT_TRUE(pause->isEnabled());

    pause->trigger();
    EXPECT_TRUE(Player().IsPaused());
    EXPECT_TRUE(pause->isChecked());
    EXPECT_TRUE(session->Menu().Action(CmPause)->isChecked());
    session->Menu().Action(CmPause)->trigger();
    EXPECT_FALSE(Player().IsPaused());
    EXPECT_FALSE(pause->isChecked());

    Keys(Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(Player().IsRepeat());
    EXPECT_TRUE(SystemItem(*frame, CmRepeat)->isChecked());
    SystemItem(*frame, CmRepeat)->trigger();
    EXPECT_FALSE(Player().IsRepeat());
    EXPECT_FALSE(session->Menu().Action(CmRepeat)->isChecked());
}

struct TEjectCase {
    Qt::Key key;
    Qt::KeyboardModifier modifier;
    QStringList doorRequests;
};

class EjectRetract : public Window, public ::testing::WithParamInterface<TEjectCase> {};

TEST_P(EjectRetract, ModifierChoosesTheDoorMovement) {
    ASSERT_EQ(Player().LoadAlbum(true), 0);
    ASSERT_EQ(Player().SelectAndPlay(0), 0);
    drive->log.clear();
    if (GetParam().modifier != Qt::NoModifier)
        QTest::keyPress(frame->windowHandle(), GetParam().key, GetParam().modifier);
    SystemItem(*frame, CmEjectRetract)->trigger();
    if (GetParam().modifier != Qt::NoModifier)
        QTest::keyRelease(frame->windowHandle(), GetParam().key, Qt::NoModifier);
    EXPECT_EQ(drive->Requests("door"), GetParam().doorRequests);
    // Opening the tray stops the player first; closing it alone leaves the song playing.
    EXPECT_EQ(Player().IsStopped(), GetParam().doorRequests.contains("door open"));
}

INSTANTIATE_TEST_SUITE_P(
    Modifiers, EjectRetract,
    ::testing::Values(TEjectCase{Qt::Key_unknown, Qt::NoModifier, {"door open"}},
                      TEjectCase{Qt::Key_Shift, Qt::ShiftModifier, {"door open"}},
                      TEjectCase{Qt::Key_Control, Qt::ControlModifier, {"door closed"}}));

// ----- hints and closing

// The pointer entering and leaving a widget, as the window system reports it.
void Enter(QWidget* widget) {
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(widget, &enter);
}
void Leave(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

TEST_F(Window, MiniHelpShowsTheHintsOfButtonsAndMenusOnlyWhileChecked) {
    auto* buttons = static_cast<TMControlBar*>(frame->Bar(CmButtons));
    QWidget* stop = buttons->Button(CmStop);
    QAction* albumMenu = frame->menuBar()->actions().first();

    Enter(stop);
    emit frame->menuBar()->hovered(albumMenu);
    EXPECT_TRUE(frame->StatusLine()->HintText().isEmpty());
    Leave(stop);

    session->Menu().Action(CmMiniHelp)->trigger();
    ASSERT_TRUE(frame->MiniHelp());
    Enter(stop);
    EXPECT_EQ(frame->StatusLine()->HintText(), "Stops song play");
    Leave(stop);
    EXPECT_TRUE(frame->StatusLine()->HintText().isEmpty());
    albumMenu->menu()->popup(frame->geometry().topLeft());
    EXPECT_EQ(frame->StatusLine()->HintText(), "Opens, saves and maintains albums");
    emit frame->menuBar()->hovered(session->Menu().Action(CmViewMenuOff));
    EXPECT_EQ(frame->StatusLine()->HintText(),
              "Shows the display alone; Alt+M brings the menu back");
    albumMenu->menu()->hide();
}

TEST_F(Window, HelpRequestsReachTheViewerWhichQuitsWithTheWindow) {
    EXPECT_EQ(frame->HelpViewer(), nullptr);
    Keys(Qt::Key_F1, Qt::NoModifier);
    ASSERT_NE(frame->HelpViewer(), nullptr);
    EXPECT_TRUE(frame->HelpViewer()->isVisible());
    EXPECT_EQ(frame->HelpViewer()->CurrentPage(), "contents.html");
    session->Menu().Action(CmHelpTutorial)->trigger();
    EXPECT_EQ(frame->HelpViewer()->CurrentPage(), "tutorial.html");
    session->Menu().Action(CmHelpKeywordSearch)->trigger();
    EXPECT_TRUE(frame->HelpViewer()->IsIndexShown());
    session->Menu().Action(CmHelpUsingHelp)->trigger();
    EXPECT_EQ(frame->HelpViewer()->CurrentPage(), "usinghelp.html");
    EXPECT_FALSE(frame->HelpViewer()->IsIndexShown());

    session->Options().SetChecked(CmSaveSettingsOnExit, false);
    frame->close();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(frame->HelpViewer()->isVisible());
}

TEST_F(Window, LongOperationShowsItsHintWithTheWaitCursorAndTheWindowDisabled) {
    frame->ShowHint("Loading album from disk...");
    frame->ShowHint("Seeking in song...");
    EXPECT_EQ(frame->StatusLine()->HintText(), "Seeking in song...");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(frame->Client()->isEnabled());
    frame->ClearHint();
    EXPECT_FALSE(frame->Client()->isEnabled()); // the outer operation still runs
    frame->ClearHint();
    EXPECT_TRUE(frame->Client()->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(frame->StatusLine()->HintText().isEmpty());
}

TEST_F(Window, OpenFailureIsReported) {
    drive->openFails = true;
    session->Menu().Action(CmAlbumOpen)->trigger();
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text,
              "Unable to open the device. If the device is in use by another application, close "
              "that application and try agin.");
}

TEST_F(Window, ClosingWithShiftWritesTheSettingsAndStaysOpen) {
    session->Options().SetChecked(CmSaveSettingsOnExit, false);
    Keys(Qt::Key_7);
    QTest::keyPress(frame->windowHandle(), Qt::Key_Shift, Qt::ShiftModifier);
    frame->close();
    QTest::keyRelease(frame->windowHandle(), Qt::Key_Shift);
    EXPECT_TRUE(frame->isVisible());
    const QByteArray saved = Slurp(home.filePath("Korvo.ini"));
    EXPECT_TRUE(saved.contains("\nMenu=0\n")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("\nButtons=0\n"));
    EXPECT_TRUE(saved.contains("\nSaveSettingsonExit=0\n"));
}

} // namespace
