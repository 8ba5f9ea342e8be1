#include "ui/helpviewer.h"

#include "resources/wlproresources.h"

#include <QAction>
#include <QIcon>
#include <QTextBrowser>
#include <QToolBar>

namespace {
const QString kHelpRoot = QStringLiteral("qrc:/wlpro/help/");
}

CHelpViewer::CHelpViewer(QWidget* parent) : QMainWindow(parent), m_browser(new QTextBrowser) {
    InitWlproResources();
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Wavelathe Pro Help"));
    setWindowIcon(QIcon(QStringLiteral(":/wlpro/icons/wlpro.svg")));
    setCentralWidget(m_browser);

    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* contents = bar->addAction(QStringLiteral("&Contents"), this, &CHelpViewer::Contents);
    contents->setShortcut(Qt::ALT | Qt::Key_Home);
    QAction* back = bar->addAction(QStringLiteral("&Back"), m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    QAction* forward =
        bar->addAction(QStringLiteral("&Forward"), m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    resize(640, 520);
}

void CHelpViewer::Contents() {
    ShowPage(QStringLiteral("index.html"));
}

void CHelpViewer::ShowPage(const QString& page) {
    m_browser->setSource(QUrl(kHelpRoot + page));
}

QString CHelpViewer::CurrentPage() const {
    return m_browser->source().fileName();
}
