#pragma once
// CMiniPropDlg: the floating "Sample Properties" tool window over the main frame. It lives as long
// as the frame and is only shown and hidden: its close box hides it and sets the show command to
// hidden, so that views no longer bring it up until the Properties command does.
//
// Being shown by a view's report never takes the focus from the view. When the window takes the
// focus, the view it describes stays the active one and keeps its cursor and selection on screen.

#include <QPoint>
#include <QWidget>

class CKeyStore;
class CSampleProperties;
class CWlproView;

class CMiniPropDlg : public QWidget {
    Q_OBJECT
public:
    // Where the window goes on a first start, before the profile knows better.
    static constexpr int kDefaultX = 600;
    static constexpr int kDefaultY = 400;

    // `keys`: the key tree of the format presets, the process-wide one unless given (tests).
    explicit CMiniPropDlg(QWidget* owner, CKeyStore* keys = nullptr);

    CSampleProperties* Sheet() const { return m_sheet; }
    // The view the pages describe and act on (the active view, when the frame's active window
    // changes); null when no document window is left.
    void SetView(CWlproView* view);

    // The frame's Properties command: shows and activates the window, and every report shows it
    // from now on.
    void ShowProperties();

    // For the profile: the top-left corner of the window's contents (inside its frame), and the
    // show command to store (CSampleProperties::kShown while the window is visible, else
    // kHidden). Place() puts the same corner back.
    QPoint Position() const;
    int ShowCommand() const;
    // At start-up: moves the window's contents' corner to `topLeft`, shows it (without taking the
    // focus) when `showCommand` is kShown, and keeps the command for later reports.
    void Place(const QPoint& topLeft, int showCommand);

    // Shown while the owner is not on screen yet, the window shows just after it.
    void setVisible(bool visible) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSampleProperties* m_sheet;
    bool m_showWithOwner = false;
};
