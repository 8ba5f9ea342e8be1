#pragma once
// The player's help: a window over the HTML pages built into the program, with a contents page,
// topics by context number and a keyword index. Asked for by the Help menu; told to quit when the
// main window goes.

#include <QMap>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QSplitter;
class QTextBrowser;

class THelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit THelpViewer(QWidget* parent = nullptr);

    void Contents();
    // The topic with this context number; false (and the contents shown) when there is none.
    bool Topic(int context);
    // Opens the keyword index with `keyword` typed in; an empty keyword shows the whole index.
    void KeywordSearch(const QString& keyword);
    void UsingHelp();
    void Quit();

    // What is shown: the page's file name (without the folder) and the index's state.
    QString CurrentPage() const;
    bool IsIndexShown() const;
    QStringList Keywords() const { return FKeywords.keys(); }
    // Index entries whose keyword starts with (or, failing that, contains) `text`.
    QStringList MatchingKeywords(const QString& text) const;
    QTextBrowser* Browser() const { return FBrowser; }
    QListWidget* IndexList() const { return FIndexList; }

    static QString PageRoot() { return QStringLiteral("qrc:/korvo/help/"); }

private:
    void LoadIndex();
    void ShowPage(const QString& page);
    void FilterIndex(const QString& text);
    void OpenIndexEntry();

    QTextBrowser* FBrowser;
    QWidget* FIndexPane;
    QLineEdit* FKeywordEdit;
    QListWidget* FIndexList;
    QMap<QString, QString> FKeywords; // keyword -> page[#anchor]
    QMap<int, QString> FTopics;       // context number -> page
};
