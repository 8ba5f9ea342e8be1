// The splash picture, the help window and the about box, and the artwork they and the tool bars
// load from the program's resources.

#include "ui/aboutdlg.h"
#include "ui/helpviewer.h"
#include "ui/splashwnd.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSvgRenderer>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

TEST(SplashWnd, PositionCentresThePictureWithIntegerHalves) {
    const std::pair<QRect, QPoint> cases[] = {{{0, 0, 1024, 768}, {332, 275}},
                                              {{0, 0, 1920, 1080}, {780, 431}},
                                              {{0, 0, 1367, 769}, {504, 275}},
                                              {{1920, 0, 1280, 1024}, {2380, 403}}};
    for (const auto& [screen, corner] : cases)
        EXPECT_EQ(CSplashWnd::Position(screen), corner) << screen.width() << "x" << screen.height();
}

TEST(SplashWnd, ShowsCentredWithoutTakingFocusAndClosesItselfAfterFourAndAHalfSeconds) {
    QWidget owner;
    QPointer<CSplashWnd> splash = new CSplashWnd(&owner);
    splash->Show();
    EXPECT_TRUE(splash->isVisible() && splash->isWindow());
    EXPECT_EQ(
        splash->geometry(),
        QRect(CSplashWnd::Position(QGuiApplication::primaryScreen()->geometry()), QSize(359, 218)));
    // The offscreen platform activates every window it shows, so the focus is checked through
    // what the window asks of a real window manager.
    EXPECT_TRUE(
        splash->windowFlags().testFlags(Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(splash->testAttribute(Qt::WA_ShowWithoutActivating));
    QTest::qWait(4000);
    EXPECT_FALSE(splash.isNull()) << "closed before its time";
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
}

TEST(Resources, EveryIconAndBothSplashPicturesLoad) {
    for (const char* name :
         {"new",        "open",       "save",     "record",     "play",    "stop",
          "zoomin",     "zoomout",    "cut",      "copy",       "paste",   "about",
          "amplify",    "convert",    "envelope", "peaksearch", "reverse", "stereopanning",
          "changesign", "decodeulaw", "undo",     "redo",       "wlpro"})
        EXPECT_TRUE(QSvgRenderer(QStringLiteral(":/wlpro/icons/%1.svg").arg(name)).isValid())
            << name;
    const QSvgRenderer splash(QStringLiteral(":/wlpro/splash.svg"));
    EXPECT_TRUE(splash.isValid());
    EXPECT_EQ(splash.defaultSize(), QSize(359, 218));
}

// Follows every link and picture from the contents page on, so no page points into nothing.
TEST(HelpPages, EveryLinkFromTheContentsReachesAPage) {
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    QStringList pages{QStringLiteral("index.html")};
    for (int i = 0; i < pages.size(); ++i) {
        QFile file(QStringLiteral(":/wlpro/help/") + pages[i]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << pages[i].toStdString();
        for (const auto& match : link.globalMatch(QString::fromUtf8(file.readAll()))) {
            const QString target = match.captured(1);
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/wlpro/help/") + target))
                << target.toStdString() << " in " << pages[i].toStdString();
            if (target.endsWith(QLatin1String(".html")) && !pages.contains(target))
                pages << target;
        }
    }
    EXPECT_GE(pages.size(), 10);
}

TEST(HelpViewer, OpensTheContentsFollowsLinksAndGoesBack) {
    QPointer<CHelpViewer> help = new CHelpViewer;
    help->Contents();
    help->show();
    EXPECT_EQ(help->windowTitle(), "Wavelathe Pro Help");
    EXPECT_EQ(help->CurrentPage(), "index.html");
    help->Browser()->setSource(QUrl("file.html"));
    EXPECT_TRUE(help->Browser()->toPlainText().contains("Save As..."));
    help->Browser()->backward();
    EXPECT_EQ(help->CurrentPage(), "index.html");
    help->Browser()->forward();
    EXPECT_EQ(help->CurrentPage(), "file.html");
    help->Contents();
    EXPECT_EQ(help->CurrentPage(), "index.html");
    help->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return help.isNull(); }, 1000));
}

TEST(AboutDlg, ShowsNameVersionAndIconAndClosesWithOk) {
    CAboutDlg about;
    QStringList texts;
    QTimer::singleShot(0, &about, [&] {
        for (const QLabel* label : about.findChildren<QLabel*>())
            texts << (label->pixmap().isNull() ? label->text() : QStringLiteral("[icon]"));
        QTest::mouseClick(about.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_EQ(about.windowTitle(), "About Wavelathe Pro...");
    for (const char* text : {"[icon]", "Wavelathe Pro", "Version 1.0a"})
        EXPECT_TRUE(texts.contains(text)) << text;
}

TEST(SplashWnd, DrawsTheProgramsVersionOnItsPicture) {
    EXPECT_EQ(CSplashWnd::VersionText(), "Version 1.0a");
}
