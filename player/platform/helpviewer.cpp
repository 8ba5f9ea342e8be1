#include "platform/helpviewer.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

THelpViewer::THelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), FBrowser(new QTextBrowser(this)), FIndexPane(new QWidget(this)),
      FKeywordEdit(new QLineEdit(FIndexPane)), FIndexList(new QListWidget(FIndexPane)) {
    setWindowTitle(tr("Korvo Help"));
    resize(720, 520);

    auto* buttons = new QHBoxLayout;
    auto* contents = new QPushButton(tr("&Contents"), this);
    auto* index = new QPushButton(tr("&Index"), this);
    auto* back = new QPushButton(tr("&Back"), this);
    auto* forward = new QPushButton(tr("&Forward"), this);
    buttons->addWidget(contents);
    buttons->addWidget(index);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    connect(contents, &QPushButton::clicked, this, &THelpViewer::Contents);
    connect(index, &QPushButton::clicked, this, [this] { KeywordSearch(QString()); });
    connect(back, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);

    auto* indexLayout = new QVBoxLayout(FIndexPane);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    auto* prompt =
        new QLabel(tr("Type the first letters of the word you are looking for:"), FIndexPane);
    // The pane is narrow: the prompt breaks into lines instead of being cut off.
    prompt->setWordWrap(true);
    indexLayout->addWidget(prompt);
    indexLayout->addWidget(FKeywordEdit);
    indexLayout->addWidget(FIndexList, 1);
    FIndexPane->setFixedWidth(220);
    connect(FKeywordEdit, &QLineEdit::textChanged, this, &THelpViewer::FilterIndex);
    connect(FKeywordEdit, &QLineEdit::returnPressed, this, &THelpViewer::OpenIndexEntry);
    connect(FIndexList, &QListWidget::itemActivated, this, &THelpViewer::OpenIndexEntry);
    connect(FIndexList, &QListWidget::itemClicked, this, &THelpViewer::OpenIndexEntry);

    FBrowser->setOpenExternalLinks(true);
    FBrowser->setSearchPaths({QStringLiteral(":/korvo/help")});
    auto* body = new QHBoxLayout;
    body->addWidget(FIndexPane);
    body->addWidget(FBrowser, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(body, 1);

    LoadIndex();
    FIndexPane->hide();
}

void THelpViewer::LoadIndex() {
    // One entry a line: "keyword<TAB>page", or "@context<TAB>page" for a topic.
    QFile file(QStringLiteral(":/korvo/help/index.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty())
            continue;
        if (parts[0].startsWith(QLatin1Char('@')))
            FTopics.insert(parts[0].mid(1).toInt(), parts[1]);
        else
            FKeywords.insert(parts[0], parts[1]);
    }
    FilterIndex(QString());
}

void THelpViewer::ShowPage(const QString& page) {
    FBrowser->setSource(QUrl(PageRoot() + page));
    show();
    raise();
    activateWindow();
}

void THelpViewer::Contents() {
    FIndexPane->hide();
    ShowPage(QStringLiteral("contents.html"));
}

bool THelpViewer::Topic(int context) {
    const QString page = FTopics.value(context);
    if (page.isEmpty()) {
        Contents();
        return false;
    }
    FIndexPane->hide();
    ShowPage(page);
    return true;
}

void THelpViewer::KeywordSearch(const QString& keyword) {
    FIndexPane->show();
    FKeywordEdit->setText(keyword);
    FilterIndex(keyword);
    if (FBrowser->source().isEmpty())
        FBrowser->setSource(QUrl(PageRoot() + QStringLiteral("contents.html")));
    show();
    raise();
    activateWindow();
    FKeywordEdit->setFocus();
}

void THelpViewer::UsingHelp() {
    FIndexPane->hide();
    ShowPage(QStringLiteral("usinghelp.html"));
}

void THelpViewer::Quit() {
    close();
}

QString THelpViewer::CurrentPage() const {
    return FBrowser->source().fileName();
}

bool THelpViewer::IsIndexShown() const {
    return FIndexPane->isVisible();
}

QStringList THelpViewer::MatchingKeywords(const QString& text) const {
    QStringList starting;
    QStringList containing;
    for (auto it = FKeywords.cbegin(); it != FKeywords.cend(); ++it) {
        if (it.key().startsWith(text, Qt::CaseInsensitive))
            starting << it.key();
        else if (it.key().contains(text, Qt::CaseInsensitive))
            containing << it.key();
    }
    return starting.isEmpty() ? containing : starting;
}

void THelpViewer::FilterIndex(const QString& text) {
    FIndexList->clear();
    FIndexList->addItems(text.isEmpty() ? Keywords() : MatchingKeywords(text));
    if (FIndexList->count())
        FIndexList->setCurrentRow(0);
}

void THelpViewer::OpenIndexEntry() {
    const QListWidgetItem* item = FIndexList->currentItem();
    if (!item)
        return;
    FBrowser->setSource(QUrl(PageRoot() + FKeywords.value(item->text())));
}
