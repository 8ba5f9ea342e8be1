#pragma once
// CWaveWnd: the strip that shows one channel of a sample at N frames per pixel column, with a
// blinking cursor or a selection, a play marker, and the mouse gestures that place them. A stereo
// sample has two strips that follow each other as partners.
//
// The waveform is rendered into a cached image; cursor, selection and play marker are drawn over
// it and never re-read the sample. A line or page scroll shifts the cached pixels and renders only
// the uncovered band. The cache is rendered again when the data changes (DataChanged), the size
// or the style changes, or a zoom moves the first frame or the scale.
//
// Drawing: v is the frame's value in the Stereo8 layout (ReadFrame), y = floor(v x H / 256).
// Lines joins the first frame of each column's N; Dots sets one pixel there; Bars draws from the
// centre line to it; Peaks draws each column from the minimum to the maximum of all its N frames
// (through the peak summary), so that no sound hides between columns. Spectrum shows each
// column's spectrum, 0 Hz at the bottom to half the rate at the top, in the colours of
// spectrum::Colours; its columns are computed on workers (CSpectrumCache) and drawn as they
// arrive, a grey placeholder standing in meanwhile. Columns past the data's end are hatched.

#include "core/samplebuffer.h"

#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <memory>

class CPeakSummary;
class CSpectrumCache;
class QPainter;

// Numbers kept by the properties window's style choice.
enum class CStripStyle : int { Lines = 0, Dots = 1, Bars = 2, Peaks = 3, Spectrum = 4 };

class CWaveWnd : public QWidget {
    Q_OBJECT
public:
    // channelIndex 0: the left or only channel, 1: the right one.
    CWaveWnd(int channelIndex, QWidget* parent = nullptr);
    ~CWaveWnd() override;

    // --- What the strip shows -----------------------------------------------------------------
    // Sets the sample and zooms to first..last. `summary` serves the Peaks style; without one
    // Peaks draws as Lines.
    void SetRange(const CSampleBuffer* buffer, const CPeakSummary* summary, quint32 first,
                  quint32 last);
    // The data changed from frame `from` on (the length may have changed too): renders again,
    // keeps first and N where they still fit, and clamps cursor, selection and marker to the data.
    void DataChanged(quint32 from = 0);
    void SetStyle(CStripStyle style);
    CStripStyle Style() const { return m_style; }
    // The spectrum columns of this strip's channel; null until the Spectrum style was first
    // chosen.
    CSpectrumCache* SpectrumCache() const { return m_spectrum.get(); }
    void SetPartner(CWaveWnd* partner) { m_partner = partner; }
    CWaveWnd* Partner() const { return m_partner; }
    int ChannelIndex() const { return m_channel; }

    // --- Scale and position --------------------------------------------------------------------
    void ZoomToRange(quint32 first, quint32 last);
    void ZoomOut();
    // Moves by `step` frames (a line or a page) as the view's scroll bar asks.
    void ScrollLeft(quint32 step);
    void ScrollRight(quint32 step);
    // Jumps so that `frame` is the first shown, not above frame count - page (the scroll bar's
    // end), so that a jump of the thumb lands at once.
    void ScrollTo(quint32 frame);
    quint32 First() const { return m_first; }
    quint32 Last() const { return m_last; }
    quint32 Scale() const { return m_scale; }
    quint32 Page() const { return m_page; }
    quint32 Line() const { return m_line; }
    // Column of frame f: (f - first) / N, truncated (negative left of the strip).
    qint64 ColumnOf(quint32 frame) const;

    // --- Cursor and selection ------------------------------------------------------------------
    void SetSelection(quint32 start, quint32 end);
    void SetCursor(quint32 position);
    void ClearSelectionAndCursor();
    void SelectAll();
    bool HasSelection() const { return m_selection; }
    bool InCursorMode() const { return m_cursorMode; }
    quint32 SelectionStart() const { return m_selStart; }
    quint32 SelectionEnd() const { return m_selEnd; }
    quint32 CursorPosition() const { return m_cursorPos; }

    // While the view has lost the focus cursor and selection are hidden and remembered.
    void HideMarks();
    void RestoreMarks();
    bool MarksHidden() const { return m_hidden; }

    // --- Play marker ---------------------------------------------------------------------------
    void ShowPlayMarker(quint32 frame);
    bool PlayMarkerShown() const { return m_markerShown; }
    quint32 PlayMarkerPosition() const { return m_markerPos; }

signals:
    // A drag reached the left (-1) or right (+1) edge: the view scrolls both strips by one line
    // before the call returns.
    void scrollRequested(int direction);
    // The right button went down: the view zooms to the selection.
    void zoomRequested();
    // The selection or the cursor, for the properties window and the status: after every
    // rendering of the waveform, every gesture and every change made through the calls above.
    void selectionReported(quint32 start, quint32 end);
    void cursorReported(quint32 position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The strip shows data: a sample that is neither empty nor being recorded.
    bool ShowsData() const;
    quint32 FrameCount() const;
    // Number of columns that show frames (the first hatched column when below the width).
    int DataColumns() const;
    // The furthest first frame a jump may reach: frame count - page, the scroll bar's end.
    quint32 MaxFirst() const;
    // N, page and line for first..last and the current width.
    void ComputeScale();

    // Renders columns from..to-1 of the cache from the sample and sets last. Pure drawing: the
    // callers repaint the screen and report.
    void RenderColumns(int from, int to);
    void RenderAll();
    // The cache has the widget's size in device pixels.
    bool CacheFits() const;
    // first moved by `delta` frames: shifts the cached pixels and renders the uncovered band, or
    // renders everything when the shift is not a whole number of columns of whole device pixels.
    void Scrolled(qint64 delta);
    // The cache changed: repaints the screen and reports the marks.
    void Rendered();
    void DrawLines(int from, int to, int dataColumns);
    void DrawDots(QPainter& painter, int from, int to) const;
    void DrawBars(QPainter& painter, int from, int to) const;
    void DrawPeaks(QPainter& painter, int from, int to) const;
    void DrawEndOfData(QPainter& painter, int dataColumns) const;
    // Spectrum: the cached columns from..to-1, placeholders for the others.
    void DrawSpectrum(int from, int to);
    // Asks the cache for every column the strip shows.
    void RequestSpectrum();
    void SpectrumArrived(quint32 frames, quint32 first, quint32 last);
    // y of column x's frame in the Stereo8 form, and of column x's extremes for Peaks.
    int LineY(int x) const;
    bool PeakYs(int x, int& top, int& bottom) const;

    // The screen areas of cursor, selection band and play marker as they are now.
    struct CMarkAreas {
        QRect cursor;
        QRect selection;
        QRect marker;
    };
    CMarkAreas MarkAreas() const;
    QRect ColumnRect(qint64 column) const;
    // Repaints what changed of each mark since `before`.
    void UpdateMarks(const CMarkAreas& before);
    void Report();

    void PlaceCursor(quint32 position);
    void PlaceSelection(quint32 start, quint32 end);
    void RemoveMarks();
    void StartBlink();
    void Blink();

    // The gesture as this strip or, following, its partner performs it.
    void BeginGesture(qint64 x);
    void DragTo(quint32 frame);
    void EndGesture(bool moved);

    const CSampleBuffer* m_buffer = nullptr;
    const CPeakSummary* m_summary = nullptr;
    int m_channel = 0;
    CWaveWnd* m_partner = nullptr;
    CStripStyle m_style = CStripStyle::Peaks;
    quint32 m_first = 0;
    quint32 m_last = 0;
    quint32 m_scale = 1;
    quint32 m_page = 0;
    quint32 m_line = 0;
    bool m_cursorMode = true;
    bool m_cursorPhase = false;
    quint32 m_cursorPos = 0;
    bool m_selection = false;
    quint32 m_selStart = 0;
    quint32 m_selEnd = 0;
    bool m_markerShown = false;
    quint32 m_markerPos = 0;
    bool m_hidden = false;
    bool m_savedCursorMode = false;
    bool m_savedSelection = false;
    QTimer m_blink;
    QImage m_cache;
    std::unique_ptr<CSpectrumCache> m_spectrum;
    // Drawing columns that just arrived: nothing new to ask for.
    bool m_spectrumArriving = false;
    bool m_dragging = false;
    bool m_moved = false;
    bool m_partnerFollows = false;
    quint32 m_anchor = 0;
    quint32 m_current = 0;
};
