#include "ui/minipropdlg.h"

#include "ui/sampleproperties.h"

#include <QCloseEvent>
#include <QVBoxLayout>
#include <QWindow>

CMiniPropDlg::CMiniPropDlg(QWidget* owner, CKeyStore* keys)
    : QWidget(owner,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_sheet(new CSampleProperties(nullptr, keys)) {
    setWindowTitle(QStringLiteral("Sample Properties"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setGeometry(0, 0, 200, 200);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_sheet);
    setFocusProxy(m_sheet);
}

void CMiniPropDlg::SetView(CWlproView* view) {
    m_sheet->SetView(view);
}

void CMiniPropDlg::ShowProperties() {
    m_sheet->SetShowCommand(CSampleProperties::kShown);
    show();
    raise();
    activateWindow();
}

int CMiniPropDlg::ShowCommand() const {
    return isVisible() ? CSampleProperties::kShown : CSampleProperties::kHidden;
}

QPoint CMiniPropDlg::Position() const {
    return geometry().topLeft();
}

// The contents' corner, not the frame's: the window manager may not have told the frame's size
// yet when the window first shows, and the corner must come back where it was stored.
void CMiniPropDlg::Place(const QPoint& topLeft, int showCommand) {
    setGeometry(QRect(topLeft, size()));
    m_sheet->SetShowCommand(showCommand);
    setVisible(showCommand == CSampleProperties::kShown);
}

// Mapped before its owner, a tool window ends up below it: it waits for the owner's window.
void CMiniPropDlg::setVisible(bool visible) {
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QWindow* ownerWindow = owner ? owner->windowHandle() : nullptr;
    m_showWithOwner = visible && owner && !(ownerWindow && ownerWindow->isVisible());
    if (m_showWithOwner)
        owner->installEventFilter(this);
    else
        QWidget::setVisible(visible);
}

// The owner's window is on screen once the owner has shown itself to its parent.
bool CMiniPropDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShowToParent) {
        watched->removeEventFilter(this);
        if (m_showWithOwner)
            setVisible(true);
    }
    return QWidget::eventFilter(watched, event);
}

void CMiniPropDlg::closeEvent(QCloseEvent* event) {
    // Accepted, the window only hides: it is not deleted on close.
    m_sheet->SetShowCommand(CSampleProperties::kHidden);
    event->accept();
}
