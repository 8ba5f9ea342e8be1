// The help window: the requests of the Help menu, the keyword index and the pages' links.

#include "platform/helpviewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

TEST(HelpViewer, ContentsTopicAndUsingHelp) {
    THelpViewer help;
    help.Contents();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("contents.html"));
    EXPECT_FALSE(help.IsIndexShown());
    EXPECT_TRUE(help.Browser()->toPlainText().contains(QStringLiteral("Tutorial")));

    EXPECT_TRUE(help.Topic(7886));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("tutorial.html"));
    EXPECT_FALSE(help.Topic(4711));
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("contents.html"));

    help.UsingHelp();
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("usinghelp.html"));
    help.Quit();
    EXPECT_FALSE(help.isVisible());
}

TEST(HelpViewer, EmptyKeywordShowsTheWholeIndex) {
    THelpViewer help;
    help.KeywordSearch(QString());
    EXPECT_TRUE(help.isVisible());
    EXPECT_TRUE(help.IsIndexShown());
    ASSERT_GT(help.Keywords().size(), 20);
    EXPECT_EQ(help.IndexList()->count(), help.Keywords().size());
    EXPECT_FALSE(help.CurrentPage().isEmpty());
}

TEST(HelpViewer, IndexPromptIsShownWholeInItsNarrowPane) {
    THelpViewer help;
    help.KeywordSearch(QString());
    auto* prompt = help.IndexList()->parentWidget()->findChild<QLabel*>();
    ASSERT_NE(prompt, nullptr);
    QApplication::processEvents();
    const QRect needed = prompt->fontMetrics().boundingRect(QRect(0, 0, prompt->width(), 10000),
                                                            Qt::TextWordWrap, prompt->text());
    EXPECT_LE(prompt->sizeHint().width(), prompt->width());
    EXPECT_GE(prompt->height(), needed.height());
}

TEST(HelpViewer, KeywordsFilterByTheirStartThenAnywhere) {
    THelpViewer help;
    help.KeywordSearch(QStringLiteral("vol"));
    EXPECT_EQ(help.IndexList()->count(), 2); // "Volume", "Volume Device"
    EXPECT_EQ(help.MatchingKeywords(QStringLiteral("VOLUME D")),
              QStringList{QStringLiteral("Volume Device")});
    EXPECT_EQ(help.MatchingKeywords(QStringLiteral("slider")),
              QStringList{QStringLiteral("Position slider")});
    EXPECT_TRUE(help.MatchingKeywords(QStringLiteral("zzz")).isEmpty());
    // Choosing an entry opens its page.
    help.IndexList()->setCurrentRow(1);
    emit help.IndexList()->itemActivated(help.IndexList()->currentItem());
    EXPECT_EQ(help.CurrentPage(), QStringLiteral("volume.html"));
}

TEST(HelpViewer, EveryLinkAndIndexEntryLeadsToAPage) {
    THelpViewer help;
    const QDir pages(QStringLiteral(":/korvo/help"));
    const QStringList files = pages.entryList({QStringLiteral("*.html")});
    ASSERT_GE(files.size(), 10);
    const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)"));
    for (const QString& file : files) {
        QFile page(pages.filePath(file));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << file.toStdString();
        const QString html = QString::fromUtf8(page.readAll());
        EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << file.toStdString();
        for (const auto& match : link.globalMatch(html))
            EXPECT_TRUE(files.contains(match.captured(1)))
                << file.toStdString() << " links to " << match.captured(1).toStdString();
    }
    for (const QString& keyword : help.Keywords()) {
        help.KeywordSearch(keyword);
        emit help.IndexList()->itemActivated(help.IndexList()->currentItem());
        EXPECT_TRUE(files.contains(help.CurrentPage())) << keyword.toStdString();
    }
}
