#pragma once
// CSampleProperties: the pages of the "Sample Properties" window, "Format", "View" and
// "Information" in that order. They describe the view that last reported in (SetView, then each
// of its status updates) and act on it until another view reports or it is destroyed.
//
// The show command says whether a report shows the window: kShown (5) until the user closes the
// window, kHidden (0) after. The profile keeps it from one run to the next.

#include <QMetaObject>
#include <QPointer>
#include <QTabWidget>
#include <QVector>

class CKeyStore;
class CPptyInformation;
class CPptySample;
class CPptyView;
class CWaveWnd;
class CWlproView;

class CSampleProperties : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kShown = 5;
    static constexpr int kHidden = 0;

    // `keys`: the key tree of the format presets, the process-wide one unless given (tests).
    explicit CSampleProperties(QWidget* parent = nullptr, CKeyStore* keys = nullptr);

    // The view reports in: the pages describe it and act on it, and the window shows when the
    // show command says so. Null: no view; nothing is editable.
    void SetView(CWlproView* view);
    CWlproView* View() const;

    int ShowCommand() const { return m_showCommand; }
    void SetShowCommand(int command) { m_showCommand = command; }

    CPptySample* FormatPage() const { return m_format; }
    CPptyView* ViewPage() const { return m_viewPage; }
    CPptyInformation* InformationPage() const { return m_information; }

private:
    // The view's status changed: format, scale, style and texts.
    void ReportSample();
    // Strips come and go with the channel count; each reports its selection or cursor.
    void ConnectStrips();
    // The view is being destroyed: the window hides if it described it.
    void ForgetView(QObject* view);
    // The pages describe `view` from now on, and nothing reports from the one before.
    void Describe(CWlproView* view);

    CPptySample* m_format;
    CPptyView* m_viewPage;
    CPptyInformation* m_information;
    QPointer<CWlproView> m_view;
    // Compared with a view being destroyed, when m_view no longer tells.
    const QObject* m_described = nullptr;
    QVector<QMetaObject::Connection> m_connections;
    QVector<QPointer<CWaveWnd>> m_strips;
    int m_showCommand = kShown;
};
