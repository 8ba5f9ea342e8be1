// The frame with its menu bar: the menu built from the main menu's actions, accelerators that
// work with the menu bar hidden, placing the window, closing with and without Shift, and the LED
// font file the build draws.

#include "capturereporter.h"
#include "core/app.h"
#include "core/commandids.h"
#include "core/playersession.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"
#include "platform/fontresource.h"
#include "ui/commandhints.h"
#include "ui/mainframe.h"
#include "ui/mainwindow.h"
#include "ui/mstatusbar.h"
#include "ui/queuelist.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        savedHome = qgetenv("KORVO_HOME");
        qputenv("KORVO_HOME", home.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("KORVO_HOME", savedHome); }

    void Put(const QByteArray& settings) {
        QFile file(home.filePath("Korvo.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    QByteArray Saved() const { return Slurp(home.filePath("Korvo.ini")); }

    QTemporaryDir home;
    QByteArray savedHome;
    TCaptureReporter reporter;
    TFakeAuxOutput volume{QStringList{}};
};

TEST_F(Frame, MenuBarShowsThePopupsWithTheirItems) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    EXPECT_EQ(frame.windowTitle(), "Korvo");
    const QList<QAction*> popups = frame.menuBar()->actions();
    ASSERT_EQ(popups.size(), 4);
    QStringList titles;
    for (QAction* popup : popups)
        titles << popup->text();
    EXPECT_EQ(titles, (QStringList{"&Album", "&Song", "&Options", "&Help"}));
    // Every command of the main menu is reachable from the menu bar.
    QList<QAction*> reachable;
    std::function<void(QMenu*)> walk = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->menu())
                walk(action->menu());
            else if (!action->isSeparator())
                reachable << action;
        }
    };
    for (QAction* popup : popups)
        walk(popup->menu());
    EXPECT_EQ(int(reachable.size()), int(session.Menu().Actions().size()));
    for (QAction* action : session.Menu().Actions())
        EXPECT_TRUE(reachable.contains(action)) << action->text().toStdString();
}

constexpr int LayoutSettleMs = 50;

// Runs `act` while the modal dialog it opens is up: `inside` gets the dialog.
void WhileModal(const std::function<void(QWidget*)>& inside, const std::function<void()>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        seen = QApplication::activeModalWidget() != nullptr;
        inside(QApplication::activeModalWidget());
    });
    act();
    EXPECT_TRUE(seen);
}

TEST_F(Frame, MenuHintLastsWhileItsItemIsHighlighted) {
    Put("[Settings]\nMiniHelp=1\n");
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    ASSERT_TRUE(frame.MiniHelp());
    QMenu* options = frame.menuBar()->actions().at(2)->menu();
    QAction* item = nullptr;
    for (QAction* action : options->actions())
        if (!item && !action->isSeparator() && !action->menu())
            item = action;
    ASSERT_NE(item, nullptr);
    const QString hint = CommandHint(item->data().toInt());
    ASSERT_FALSE(hint.isEmpty());
    for (bool closeMenu : {false, true}) {
        options->popup(frame.geometry().topLeft());
        options->setActiveAction(item);
        EXPECT_EQ(frame.StatusLine()->HintText(), hint);
        if (closeMenu) {
            options->hide();
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(options, &leave);
        }
        EXPECT_EQ(frame.StatusLine()->HintText(), QString()) << (closeMenu ? "closed" : "left");
        options->hide();
    }
    // The bar keeps the title lit after Escape closed its menu: no hint that nothing would clear.
    emit frame.menuBar()->hovered(options->menuAction());
    EXPECT_EQ(frame.StatusLine()->HintText(), QString());
    options->popup(frame.geometry().topLeft());
    EXPECT_EQ(frame.StatusLine()->HintText(), CommandHint(options->menuAction()->data().toInt()));
    options->hide();
}

// Without a system tray (as here) the Elements pop-up also carries the window menu's items, and
// the keyboard opens it where window managers keep Alt + right click for themselves.
TEST_F(Frame, ElementsPopupOpensFromTheKeyboardWithTheWindowItems) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    QApplication::setActiveWindow(&frame);
    for (const QKeySequence& keys :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        QTest::keySequence(frame.focusWidget() ? frame.focusWidget() : &frame, keys);
        ASSERT_EQ(QApplication::activePopupWidget(), frame.ElementsMenu())
            << keys.toString().toStdString();
        QList<int> ids;
        for (QAction* action : frame.ElementsMenu()->actions())
            ids << action->data().toInt();
        for (int id : {CmPlay, CmPause, CmEjectRetract, CmRepeat, CmCirculate, CmMute})
            EXPECT_TRUE(ids.contains(id)) << id;
        frame.ElementsMenu()->hide();
    }
    const QString help = QString::fromUtf8(Slurp(":/korvo/help/keys.html"));
    EXPECT_TRUE(help.contains("Shift+F10")) << "the keyboard way in is documented";
}

TEST_F(Frame, SetFontFitsTheWindowToTheQueueAtOnce) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    for (int pixels : {24, 8}) {
        WhileModal(
            [pixels](QWidget* open) {
                auto* dialog = qobject_cast<QFontDialog*>(open);
                ASSERT_NE(dialog, nullptr);
                QFont font(QStringLiteral("DejaVu Sans"));
                font.setPixelSize(pixels);
                dialog->setCurrentFont(font);
                dialog->accept();
            },
            [&] { frame.Command(CmSetFont); });
        // The layouts settle as they do on screen, from posted events.
        QTest::qWait(LayoutSettleMs);
        const TQueueList* queue = frame.Client()->Queue();
        EXPECT_EQ(queue->viewport()->height() % queue->RowHeight(), 0) << "whole rows only";
        const int afterFont = frame.height();
        frame.Command(CmViewEverything);
        QTest::qWait(LayoutSettleMs);
        EXPECT_EQ(afterFont, frame.height()) << pixels << " px";
    }
}

TEST_F(Frame, LoadsSettingsWhileItIsSetUp) {
    Put("[Settings]\nContinuousLoop=0\nMiniHelp=0\nAlwaysOnTop=0\n");
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    EXPECT_FALSE(session.Options().IsChecked(CmContinuousLoop));
    EXPECT_TRUE(session.Options().IsChecked(CmRandomOrder));
    EXPECT_FALSE(frame.MiniHelp());
    EXPECT_FALSE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(Frame, MissingSettingsPutTheWindowOnTop) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    EXPECT_TRUE(frame.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(frame.MiniHelp());
}

TEST_F(Frame, PlacesTheWindowFromItsSavedPosition) {
    Put("[General]\nWindowPosition=40 50 620 999\n");
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    EXPECT_EQ(frame.RestoredGeometry().topLeft(), QPoint(40, 50));
    EXPECT_EQ(frame.RestoredGeometry().width(), 620);
    EXPECT_LT(frame.RestoredGeometry().height(), 999); // the height follows from the elements

    frame.PlaceWindow(0, 0, 600);
    EXPECT_EQ(frame.RestoredGeometry().topLeft(), QPoint(40, 50));
    EXPECT_EQ(frame.RestoredGeometry().width(), 600);
    // Never narrower than the bars shown need.
    frame.PlaceWindow(0, 0, 50);
    EXPECT_EQ(frame.width(), frame.minimumWidth());
    EXPECT_GT(frame.width(), 50);

    // Far outside the screen the window is pulled back in.
    frame.PlaceWindow(100000, 100000, 300);
    const QRect area = frame.screen()->availableGeometry();
    EXPECT_TRUE(area.contains(frame.RestoredGeometry())) << frame.RestoredGeometry().x();
    frame.PlaceWindow(-500, -500, 300);
    EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(0, 0)) << "the frame stays on the screen";
}

// Saved while minimised or maximised, the place is the one the window comes back to. Some
// platforms park a minimised window far off the screen; the move below does the same.
TEST_F(Frame, SavesTheNormalPlaceOfAMinimisedOrMaximisedWindow) {
    Put("[General]\nWindowPosition=40 50 620\n");
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QRect normal = frame.geometry();
    ASSERT_EQ(normal.topLeft(), QPoint(40, 50));
    const QByteArray expected =
        QStringLiteral("\nWindowPosition=40 50 620 %1\n").arg(normal.height()).toUtf8();
    const std::pair<const char*, std::function<void()>> states[] = {
        {"minimised",
         [&] {
             frame.showMinimized();
             frame.move(-32000, -32000);
         }},
        {"maximised", [&] { frame.showMaximized(); }},
    };
    for (const auto& [name, leaveNormal] : states) {
        leaveNormal();
        frame.Command(CmSaveSettingsNow);
        EXPECT_TRUE(Saved().contains(expected)) << name << "\n" << Saved().toStdString();
        frame.showNormal();
        frame.setGeometry(normal);
    }
}

TEST_F(Frame, AltMHidesAndRestoresTheMenuBar) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    QTest::keyClick(&frame, Qt::Key_M, Qt::AltModifier);
    EXPECT_FALSE(session.Options().IsChecked(CmMenuBar));
    EXPECT_TRUE(frame.menuBar()->isHidden());
    QTest::keyClick(&frame, Qt::Key_M, Qt::AltModifier);
    EXPECT_TRUE(session.Options().IsChecked(CmMenuBar));
    EXPECT_FALSE(frame.menuBar()->isHidden());
}

TEST_F(Frame, SaveStoresTheMenuBarAsShown) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    frame.menuBar()->hide();
    session.Menu().Action(CmSaveSettingsNow)->trigger();
    EXPECT_TRUE(Saved().contains("\nMenu=0\n"));
}

TEST_F(Frame, CloseWithOptionOffWritesOnlyTheOption) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    session.Options().SetChecked(CmSaveSettingsOnExit, false);
    session.Menu().Action(CmExit)->trigger();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(Saved(), "[Settings]\nSaveSettingsOnExit=0\n");
}

TEST_F(Frame, CloseWithShiftSavesAndStaysOpen) {
    TApp app(home.filePath("korvo32"));
    TPlayerSession session(app, std::make_unique<TManualDrive>(), volume);
    TMainFrame frame(session);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    session.Options().SetChecked(CmSaveSettingsOnExit, false);
    QTest::keyPress(frame.windowHandle(), Qt::Key_Shift, Qt::ShiftModifier);
    frame.close();
    QTest::keyRelease(frame.windowHandle(), Qt::Key_Shift);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(Saved().startsWith("[General]\nVersion=2.7\n"));
    frame.close();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_TRUE(Saved().contains("\nSaveSettingsOnExit=0\n")); // rewritten by the plain close
}

// With Auto Save Album on, closing the album or the player when the album cannot be saved asks
// first; No keeps the album (and the window) as they were.
TEST_F(Frame, ClosingAsksWhenTheAutoSaveFails) {
    struct Route {
        int command;
        bool windowGoes;
    };
    for (const Route route : {Route{CmAlbumClose, false}, Route{CmExit, true}}) {
        SCOPED_TRACE(route.command);
        TApp app(home.filePath("korvo32"));
        TPlayerSession session(app, std::make_unique<TManualDrive>(QVector<quint32>{30000, 45000}),
                               volume);
        TMainFrame frame(session);
        frame.show();
        session.Options().SetChecked(CmAutoSaveAlbum, true);
        TPlayController& player = session.Controller();
        ASSERT_EQ(player.LoadAlbum(true), 0);
        player.Album().SetTitle(QStringLiteral("Unsaved"));
        // A folder where the database goes: nobody, root included, can write it.
        ASSERT_TRUE(QDir().mkpath(app.DatabasePath()));
        reporter.messages.clear();

        reporter.answers << TMessageAnswer::No;
        session.Menu().Action(route.command)->trigger();
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_EQ(reporter.messages[0].text,
                  QStringLiteral("The album could not be saved to %1. Close anyway?")
                      .arg(app.DatabasePath()));
        EXPECT_EQ(reporter.messages[0].buttons, TMessageButtons::YesNo);
        EXPECT_TRUE(frame.isVisible());
        EXPECT_EQ(player.Album().Title(), QStringLiteral("Unsaved"));

        reporter.answers << TMessageAnswer::Yes;
        session.Menu().Action(route.command)->trigger();
        EXPECT_EQ(reporter.messages.size(), 2);
        EXPECT_EQ(frame.isVisible(), !route.windowGoes);
        EXPECT_EQ(player.Album().IsLoaded(), route.windowGoes) << "closing the player keeps it";
        ASSERT_TRUE(QDir().rmdir(app.DatabasePath()));
    }
}

// --- the LED font file ---------------------------------------------------------------------------

QString BuildFolder() {
    return QStringLiteral(KORVO_PROGRAM_DIR);
}

TEST(LedFont, RegistersBothFacesAndRemovesThemAgain) {
    {
        TFontResource font("trxft2.ttc", {"/nonexistent", BuildFolder()});
        ASSERT_TRUE(font.IsRegistered());
        EXPECT_EQ(font.Families(), (QStringList{"TRX-Digital", "QVN-Digital-2"}));
        EXPECT_TRUE(QFontDatabase::families().contains("TRX-Digital"));
        // The faces draw the digits the display shows.
        const QFont led("TRX-Digital", 17);
        EXPECT_TRUE(QFontInfo(led).exactMatch() || QFontInfo(led).family() == "TRX-Digital");
        QFontMetrics metrics(led);
        for (QChar c : QStringLiteral("0123456789:-"))
            EXPECT_TRUE(metrics.inFont(c)) << char(c.unicode());
    }
    EXPECT_FALSE(QFontDatabase::families().contains("TRX-Digital"));
}

TEST(LedFont, MissingOrBrokenFileIsSilent) {
    QTemporaryDir dir;
    TFontResource missing("trxft2.ttc", {dir.path()});
    EXPECT_FALSE(missing.IsRegistered());
    EXPECT_TRUE(missing.Families().isEmpty());
    QFile broken(dir.filePath("trxft2.ttc"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a font at all");
    broken.close();
    TFontResource garbage("trxft2.ttc", {dir.path()});
    EXPECT_FALSE(garbage.IsRegistered());
}

} // namespace
