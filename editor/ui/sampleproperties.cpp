#include "ui/sampleproperties.h"

#include "ui/pptyinformation.h"
#include "ui/pptysample.h"
#include "ui/pptyview.h"
#include "ui/wavewnd.h"
#include "ui/wlproview.h"

CSampleProperties::CSampleProperties(QWidget* parent, CKeyStore* keys)
    : QTabWidget(parent), m_format(new CPptySample(nullptr, keys)), m_viewPage(new CPptyView),
      m_information(new CPptyInformation) {
    setWindowTitle(QStringLiteral("Sample Properties"));
    addTab(m_format, QStringLiteral("Format"));
    addTab(m_viewPage, QStringLiteral("View"));
    addTab(m_information, QStringLiteral("Information"));
}

void CSampleProperties::SetView(CWlproView* view) {
    if (view != m_view) {
        Describe(view);
        if (view) {
            m_connections.append(
                connect(view, &CWlproView::statusChanged, this, &CSampleProperties::ReportSample));
            m_connections.append(
                connect(view, &QObject::destroyed, this, &CSampleProperties::ForgetView));
            ConnectStrips();
        }
    }
    if (view)
        ReportSample();
}

CWlproView* CSampleProperties::View() const {
    return m_view;
}

void CSampleProperties::Describe(CWlproView* view) {
    for (const QMetaObject::Connection& connection : m_connections)
        disconnect(connection);
    m_connections.clear();
    m_strips.clear();
    m_view = view;
    m_described = view;
    m_format->SetView(view);
    m_viewPage->SetView(view);
    m_information->SetView(view);
}

void CSampleProperties::ReportSample() {
    if (!m_view)
        return;
    QWidget* host = window();
    if (m_showCommand == kShown && host != this && host->isHidden())
        host->show();
    ConnectStrips();
    m_format->Refresh();
    m_viewPage->Refresh();
    m_information->Refresh();
}

void CSampleProperties::ConnectStrips() {
    m_strips.removeAll(nullptr);
    for (CWaveWnd* strip : {m_view->Strip(0), m_view->Strip(1)}) {
        if (!strip || m_strips.contains(strip))
            continue;
        m_strips.append(strip);
        m_connections.append(connect(strip, &CWaveWnd::selectionReported, m_viewPage,
                                     [page = m_viewPage](quint32 start, quint32 end) {
                                         page->ReportRange(start, end, true);
                                     }));
        m_connections.append(connect(
            strip, &CWaveWnd::cursorReported, m_viewPage,
            [page = m_viewPage](quint32 position) { page->ReportRange(position, 0, false); }));
    }
}

void CSampleProperties::ForgetView(QObject* view) {
    if (view != m_described)
        return;
    QWidget* host = window();
    m_showCommand = host->isVisible() ? kShown : kHidden;
    if (host != this)
        host->hide();
    Describe(nullptr);
}
