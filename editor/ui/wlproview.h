#pragma once
// CWlproView: the window of one sample document. One strip per channel, a ruler of frame numbers
// and a scroll bar; it zooms, scrolls, plays with a moving marker, writes the status panes and
// turns the editing commands into calls on the document's editor, so each is one undo step.
//
// The scroll bar runs from 0 to 32700 whatever the sample's length; the first strip's first frame
// decides the thumb, and both strips move together.

#include "ui/commandids.h"

#include "core/wavedevice.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

class CRulerWnd;
class CWaveWnd;
enum class CStripStyle : int;
class CWlproDoc;
class QScrollBar;

class CWlproView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kScrollRange = 32700;

    explicit CWlproView(CWlproDoc* document, QWidget* parent = nullptr);
    ~CWlproView() override;

    CWlproDoc* Document() const { return m_doc; }
    bool IsStereo() const { return m_strip2 != nullptr; }
    // 0: the left or only channel's strip; 1: the right one (null for a mono sample).
    CWaveWnd* Strip(int index) const { return index == 0 ? m_strip1 : m_strip2; }
    CRulerWnd* Ruler() const { return m_ruler; }
    QScrollBar* ScrollBar() const { return m_scroll; }
    bool IsPlaying() const { return m_playing; }
    // The drawing style of both strips: the View menu's Style items and the properties window's
    // View page set it here, and both show it.
    void SetStripStyle(CStripStyle style);
    CStripStyle StripStyle() const;

    // The frames and the channel selector the range commands act on: 0 both channels (or the only
    // one), 1 the left only, 2 the right only. A strip with a cursor but no selection gives the
    // whole sample. Not valid while neither strip has a cursor or a selection.
    struct CRange {
        qint64 first = 0;
        qint64 last = 0;
        int channel = 0;
        bool valid = false;
    };
    CRange GetSelectionRange() const;

    bool IsCommandEnabled(CommandId id) const;
    // Runs a command of the view; false when the view does not handle it or it is not enabled.
    bool Execute(CommandId id);

    // The five information panes: bytes, bits, rate, seconds, scale.
    QStringList StatusTexts() const;
    void UpdateStatus();
    // Zoom In (and a right click, which then zooms a stereo sample's right strip to its own
    // selection), Zoom Out.
    void ZoomToSelection(bool rightButton = false);
    void ZoomOut();
    // The view's document window became active (true) or another one did (false): cursor and
    // selection are shown only in the active one.
    void SetViewActive(bool active);

signals:
    // The status pane texts changed.
    void statusChanged();
    // Something that decides which commands are enabled changed (selection, playing, data).
    void commandStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CWaveWnd* MakeStrip(int channel);
    void MatchChannelCount();
    void ApplyLayout();
    void UpdateThumb();
    void UpdateRuler();
    void OnScrollAction(int action);
    void ScrollStrips(int direction, bool page);
    void OnSampleChanged(quint32 from);
    void AfterRangeEdit(const CRange& range, quint32 cursor);
    CRange ResolveRange(bool cursorAsPoint) const;

    void Play();
    void OnPlayTimer();
    void OnPlayDone();
    void ShowMarker(quint32 frame);
    void Paste();

    CWlproDoc* m_doc;
    CWaveWnd* m_strip1 = nullptr;
    CWaveWnd* m_strip2 = nullptr;
    CRulerWnd* m_ruler = nullptr;
    QScrollBar* m_scroll = nullptr;
    CWaveNotify m_notify;
    QTimer m_playTimer;
    bool m_playing = false;
    bool m_created = false;
    bool m_settingThumb = false;
    // The frame count the strips were last fitted to: a sample that stops being empty is shown
    // whole.
    quint32 m_shownFrames = 0;
    QStringList m_status;
};
