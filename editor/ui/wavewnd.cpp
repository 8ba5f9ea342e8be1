#include "ui/wavewnd.h"

#include "core/peaksummary.h"
#include "core/spectrum.h"
#include "core/spectrumcache.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

const QColor kBackground = Qt::white;
const QColor kInk = Qt::black;
// Drawn by exclusive-or: cyan over the white background shows red.
const QColor kMarkerColour(0, 255, 255);
// A spectrum column still being computed: a grey no level of the colour map comes near.
const QRgb kSpectrumPending = qRgb(112, 118, 112);

// Rows of the end-of-data pattern from the top; a set bit (leftmost pixel first) is white.
const QBrush& EndOfDataBrush() {
    static const QBrush brush = [] {
        constexpr quint8 rows[8] = {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF};
        QImage pattern(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pattern.setPixel(x, y, (rows[y] >> (7 - x)) & 1 ? 0xFFFFFFFFu : 0xFF000000u);
        return QBrush(pattern);
    }();
    return brush;
}

// Bresenham's line from a to b in device pixels, each step a block x block square, kept to the
// device columns left..right-1.
void PlotLine(QImage& image, QPoint a, QPoint b, int block, int left, int right) {
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int stepX = a.x() < b.x() ? 1 : -1;
    const int stepY = a.y() < b.y() ? 1 : -1;
    const QRgb ink = kInk.rgb();
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    const int height = image.height();
    int error = dx + dy;
    for (QPoint p = a;;) {
        const int x0 = std::max(p.x(), left);
        const int x1 = std::min(p.x() + block, right);
        for (int y = std::max(p.y(), 0); y < std::min(p.y() + block, height); ++y) {
            auto* line = reinterpret_cast<QRgb*>(bits + y * stride);
            std::fill(line + x0, line + std::max(x0, x1), ink);
        }
        if (p == b)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            p.rx() += stepX;
        }
        if (twice <= dx) {
            error += dx;
            p.ry() += stepY;
        }
    }
}

int ColumnAt(const QMouseEvent* event) {
    return int(std::floor(event->position().x()));
}

} // namespace

CWaveWnd::CWaveWnd(int channelIndex, QWidget* parent) : QWidget(parent), m_channel(channelIndex) {
    setCursor(Qt::CrossCursor);
    // The cached image covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_blink.callOnTimeout(this, &CWaveWnd::Blink);
    // A new strip starts in cursor mode with its caret at frame 0.
    StartBlink();
}

CWaveWnd::~CWaveWnd() = default;

// ----- What the strip shows ------------------------------------------------------------------

bool CWaveWnd::ShowsData() const {
    // A buffer a recording fills holds no sample yet.
    return m_buffer && m_buffer->GetFrameCount() > 0 &&
           m_buffer->GetDataLock() != CSampleBuffer::CDataLock::Fill;
}

quint32 CWaveWnd::FrameCount() const {
    return m_buffer ? m_buffer->GetFrameCount() : 0;
}

int CWaveWnd::DataColumns() const {
    const quint32 count = FrameCount();
    if (!ShowsData() || m_first >= count)
        return 0;
    return int(std::min<quint64>(width(), (count - 1 - m_first) / m_scale + 1));
}

quint32 CWaveWnd::MaxFirst() const {
    const quint32 count = FrameCount();
    return count > m_page ? count - m_page : 0;
}

void CWaveWnd::SetRange(const CSampleBuffer* buffer, const CPeakSummary* summary, quint32 first,
                        quint32 last) {
    m_buffer = buffer;
    m_summary = summary;
    if (m_spectrum)
        m_spectrum->SetSource(buffer, m_channel);
    ZoomToRange(first, last);
}

void CWaveWnd::DataChanged(quint32 from) {
    const quint32 count = FrameCount();
    const CMarkAreas before = MarkAreas();
    const quint32 lastFrame = count > 0 ? count - 1 : 0;
    m_cursorPos = std::min(m_cursorPos, lastFrame);
    if (m_selection && count == 0) {
        PlaceCursor(0);
    } else if (m_selection) {
        m_selStart = std::min(m_selStart, lastFrame);
        m_selEnd = std::min(m_selEnd, lastFrame);
    }
    m_markerPos = std::min(m_markerPos, lastFrame);
    m_markerShown = m_markerShown && count > 0;
    UpdateMarks(before);

    if (m_spectrum)
        m_spectrum->Invalidate(from);
    if (m_first >= count && m_first > 0) {
        m_first = MaxFirst();
        RenderAll();
    } else if (m_style == CStripStyle::Spectrum) {
        // A spectrum column reads frames beyond its own: columns left of `from` may change too.
        // Those that did not come from the cache.
        RenderAll();
    } else {
        // The column before the first changed one holds the line that leads into it.
        const qint64 column = ColumnOf(std::max(from, m_first)) - 1;
        RenderColumns(int(std::clamp<qint64>(column, 0, width())), width());
    }
    Rendered();
}

void CWaveWnd::SetStyle(CStripStyle style) {
    m_style = style;
    if (style == CStripStyle::Spectrum && !m_spectrum) {
        m_spectrum = std::make_unique<CSpectrumCache>();
        m_spectrum->SetSource(m_buffer, m_channel);
        connect(m_spectrum.get(), &CSpectrumCache::columnsReady, this, &CWaveWnd::SpectrumArrived);
    } else if (style != CStripStyle::Spectrum && m_spectrum) {
        // What was queued is no longer shown; the columns computed stay for a return.
        m_spectrum->Request(m_scale, {});
    }
    RenderAll();
    Rendered();
}

// ----- Scale and position --------------------------------------------------------------------

void CWaveWnd::ComputeScale() {
    const quint64 w = quint64(std::max(width(), 1));
    const qint64 length = qint64(m_last) - qint64(m_first) + 1;
    quint64 n = length > 0 ? quint64(length) / w : 0;
    if (w * n < FrameCount())
        ++n;
    m_scale = quint32(std::clamp<quint64>(n, 1, 0xFFFFFFFFu));
    m_page = quint32(std::min<quint64>(quint64(m_scale) * (w / 2), 0xFFFFFFFFu));
    m_line = quint32(std::min<quint64>(quint64(m_scale) * (w / 8), 0xFFFFFFFFu));
}

void CWaveWnd::ZoomToRange(quint32 first, quint32 last) {
    m_first = first;
    m_last = last;
    ComputeScale();
    RenderAll();
    Rendered();
}

void CWaveWnd::ZoomOut() {
    ZoomToRange(0, FrameCount());
}

void CWaveWnd::ScrollLeft(quint32 step) {
    if (m_first > step) {
        m_first -= step;
        Scrolled(-qint64(step));
    } else {
        m_first = 0;
        RenderAll();
        Rendered();
    }
}

void CWaveWnd::ScrollRight(quint32 step) {
    const quint32 limit = m_last > m_page ? m_last - m_page : 0;
    const quint32 target = quint32(std::min<quint64>(quint64(m_first) + step, limit));
    if (target <= m_first)
        return;
    const qint64 delta = qint64(target) - qint64(m_first);
    m_first = target;
    Scrolled(delta);
}

void CWaveWnd::ScrollTo(quint32 frame) {
    const quint32 target = std::min(frame, MaxFirst());
    if (target == m_first)
        return;
    const qint64 delta = qint64(target) - qint64(m_first);
    m_first = target;
    Scrolled(delta);
}

qint64 CWaveWnd::ColumnOf(quint32 frame) const {
    return (qint64(frame) - qint64(m_first)) / qint64(m_scale);
}

void CWaveWnd::Scrolled(qint64 delta) {
    // Only whole columns on whole device pixels can move; at a fractional pixel ratio a band's
    // edge falls inside a device pixel.
    const qreal ratio = m_cache.devicePixelRatio();
    const qint64 columns = delta / qint64(m_scale);
    const qint64 shift = columns * qint64(ratio);
    const bool whole = delta % qint64(m_scale) == 0 && ratio == std::floor(ratio);
    if (!CacheFits() || !whole || std::abs(columns) >= width()) {
        RenderAll();
        Rendered();
        return;
    }
    // Moving left shows earlier frames: the pixels move right, and the other way round.
    const int bytes = m_cache.width() * 4;
    const int moved = int(std::abs(shift)) * 4;
    for (int y = 0; y < m_cache.height(); ++y) {
        uchar* line = m_cache.scanLine(y);
        if (shift < 0)
            std::memmove(line + moved, line, size_t(bytes - moved));
        else
            std::memmove(line, line + moved, size_t(bytes - moved));
    }
    // The column that now lies at the opposite edge was joined to a neighbour that has left the
    // strip; it is drawn again without it.
    const int gap = int(std::abs(columns));
    if (delta < 0) {
        RenderColumns(0, gap + 5);
        RenderColumns(width() - 1, width());
    } else {
        RenderColumns(width() - gap - 2, width());
        RenderColumns(0, 1);
    }
    Rendered();
}

// ----- Rendering -----------------------------------------------------------------------------

bool CWaveWnd::CacheFits() const {
    const qreal ratio = devicePixelRatioF();
    return m_cache.devicePixelRatio() == ratio &&
           m_cache.size() == (QSizeF(size()) * ratio).toSize();
}

void CWaveWnd::RenderAll() {
    RenderColumns(0, width());
}

void CWaveWnd::RenderColumns(int from, int to) {
    const int w = width();
    const int h = height();
    if (w <= 0 || h <= 0)
        return;
    if (!CacheFits()) {
        // One image pixel per device pixel keeps the strip crisp on a high-density screen; all
        // drawing below is in columns, one per logical pixel.
        const qreal ratio = devicePixelRatioF();
        m_cache = QImage((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
        m_cache.setDevicePixelRatio(ratio);
        from = 0;
        to = w;
    }
    from = std::clamp(from, 0, w);
    to = std::clamp(to, from, w);
    if (!ShowsData()) {
        QPainter(&m_cache).fillRect(QRect(from, 0, to - from, h), kBackground);
        return;
    }
    const int dataColumns = DataColumns();
    const int drawTo = std::min(to, dataColumns);
    const bool lines =
        m_style == CStripStyle::Lines || (m_style == CStripStyle::Peaks && !m_summary);
    {
        QPainter painter(&m_cache);
        painter.setClipRect(QRect(from, 0, to - from, h));
        painter.fillRect(QRect(from, 0, to - from, h), kBackground);
        if (from < drawTo && m_style == CStripStyle::Dots)
            DrawDots(painter, from, drawTo);
        else if (from < drawTo && m_style == CStripStyle::Bars)
            DrawBars(painter, from, drawTo);
        else if (from < drawTo && !lines && m_style != CStripStyle::Spectrum)
            DrawPeaks(painter, from, drawTo);
        if (dataColumns < to)
            DrawEndOfData(painter, dataColumns);
    }
    if (from < drawTo && lines)
        DrawLines(from, drawTo, dataColumns);
    m_last = dataColumns > 0 ? m_first + quint32(dataColumns - 1) * m_scale : m_first;
    if (m_style == CStripStyle::Spectrum) {
        if (from < drawTo)
            DrawSpectrum(from, drawTo);
        if (!m_spectrumArriving)
            RequestSpectrum();
    }
}

void CWaveWnd::DrawSpectrum(int from, int to) {
    const qreal ratio = m_cache.devicePixelRatio();
    const int rows = m_cache.height();
    const spectrum::CRowMap map(spectrum::SizeFor(m_scale), rows);
    const int left = int(std::floor(from * ratio));
    const int right = std::min(int(std::floor(to * ratio)), m_cache.width());
    // The column each device pixel shows; null where it is not computed yet.
    std::vector<const quint8*> columns(size_t(std::max(right - left, 0)));
    for (int x = from; x < to; ++x) {
        const quint8* levels = m_spectrum->Column(m_scale, m_first + quint32(x) * m_scale);
        for (int d = int(std::floor(x * ratio));
             d < std::min(int(std::floor((x + 1) * ratio)), right); ++d)
            columns[size_t(d - left)] = levels;
    }
    const QRgb* colours = spectrum::Colours();
    for (int y = 0; y < rows; ++y) {
        auto* line = reinterpret_cast<QRgb*>(m_cache.scanLine(y)) + left;
        for (size_t i = 0; i < columns.size(); ++i)
            line[i] = columns[i] ? colours[map.Level(columns[i], y)] : kSpectrumPending;
    }
}

void CWaveWnd::RequestSpectrum() {
    if (!ShowsData())
        return;
    const int columns = DataColumns();
    std::vector<quint32> starts(size_t(std::max(columns, 0)));
    for (int x = 0; x < columns; ++x)
        starts[size_t(x)] = m_first + quint32(x) * m_scale;
    m_spectrum->Request(m_scale, starts);
}

void CWaveWnd::SpectrumArrived(quint32 frames, quint32 first, quint32 last) {
    if (frames != m_scale || m_style != CStripStyle::Spectrum || !ShowsData() || !CacheFits())
        return;
    const qint64 from = std::max<qint64>(ColumnOf(first), 0);
    const qint64 to = std::min<qint64>(ColumnOf(last) + 1, DataColumns());
    if (from >= to)
        return;
    // Only pixels: the marks and the reports stay as they are.
    m_spectrumArriving = true;
    RenderColumns(int(from), int(to));
    m_spectrumArriving = false;
    update(QRect(int(from), 0, int(to - from), height()));
}

int CWaveWnd::LineY(int x) const {
    quint8 slot[4] = {0, 0, 0, 0};
    m_buffer->ReadFrame(m_first + quint32(x) * m_scale, SampleLayout::Stereo8, slot);
    return slot[m_channel == 0 ? 0 : 2] * height() / 256;
}

bool CWaveWnd::PeakYs(int x, int& top, int& bottom) const {
    const quint32 start = m_first + quint32(x) * m_scale;
    const quint32 frames = std::min(m_scale, FrameCount() - start);
    qint16 min = 0;
    qint16 max = 0;
    if (!m_summary->Range(*m_buffer, start, frames, m_channel, min, max))
        return false;
    // The same orientation as the 8-bit value of the other styles: the lowest value on top.
    top = int((qint64(min) + 32768) * height() / 65536);
    bottom = int((qint64(max) + 32768) * height() / 65536);
    return true;
}

void CWaveWnd::DrawLines(int from, int to, int dataColumns) {
    // Drawn here rather than with a pen: a pen scaled to the device pixel ratio reaches into the
    // neighbouring columns and is rasterised differently under a clip, so a band drawn after a
    // scroll would not meet the shifted pixels. These segments keep to their two columns.
    const qreal ratio = m_cache.devicePixelRatio();
    const int block = std::max(1, int(std::lround(ratio)));
    const int left = int(std::floor(from * ratio));
    const int right = int(std::floor(to * ratio));
    auto device = [&](int x, int y) {
        return QPoint(int(std::floor(x * ratio)), int(std::floor(y * ratio)));
    };
    int previous = LineY(std::max(from - 1, 0));
    if (dataColumns == 1)
        PlotLine(m_cache, device(0, previous), device(0, previous), block, left, right);
    for (int x = std::max(from, 1); x <= std::min(to, dataColumns - 1); ++x) {
        const int y = LineY(x);
        PlotLine(m_cache, device(x - 1, previous), device(x, y), block, left, right);
        previous = y;
    }
}

// Dots, bars and peaks fill whole pixels of their own column: a pen of width 1 would reach half
// a pixel into the neighbours once the device pixel ratio scales it.
void CWaveWnd::DrawDots(QPainter& painter, int from, int to) const {
    for (int x = from; x < to; ++x)
        painter.fillRect(QRect(x, LineY(x), 1, 1), kInk);
}

void CWaveWnd::DrawBars(QPainter& painter, int from, int to) const {
    const int centre = height() / 2;
    painter.fillRect(QRect(from, centre, to - from, 1), kInk);
    for (int x = from; x < to; ++x) {
        const int y = LineY(x);
        painter.fillRect(QRect(QPoint(x, std::min(y, centre)), QPoint(x, std::max(y, centre))),
                         kInk);
    }
}

void CWaveWnd::DrawPeaks(QPainter& painter, int from, int to) const {
    // Each column reaches its left neighbour's extent, so that a steep slope stays joined.
    int lastTop = 0;
    int lastBottom = 0;
    bool joined = from > 0 && PeakYs(from - 1, lastTop, lastBottom);
    for (int x = from; x < to; ++x) {
        int top = 0;
        int bottom = 0;
        if (!PeakYs(x, top, bottom)) {
            joined = false;
            continue;
        }
        const int drawTop = joined ? std::min(top, lastBottom) : top;
        const int drawBottom = joined ? std::max(bottom, lastTop) : bottom;
        painter.fillRect(QRect(x, drawTop, 1, drawBottom - drawTop + 1), kInk);
        lastTop = top;
        lastBottom = bottom;
        joined = true;
    }
}

void CWaveWnd::DrawEndOfData(QPainter& painter, int dataColumns) const {
    const int w = width();
    painter.setBrushOrigin(8 - (w - dataColumns + 2) % 8, 0);
    painter.fillRect(QRect(dataColumns, 0, w - dataColumns, height()), EndOfDataBrush());
    painter.fillRect(QRect(dataColumns, 0, 1, height()), kInk);
}

void CWaveWnd::Rendered() {
    update();
    Report();
}

void CWaveWnd::Report() {
    if (m_selection)
        emit selectionReported(m_selStart, m_selEnd);
    if (m_cursorMode)
        emit cursorReported(m_cursorPos);
}

// ----- Painting ------------------------------------------------------------------------------

void CWaveWnd::paintEvent(QPaintEvent*) {
    // Moving to a screen of another pixel ratio needs the waveform in the new resolution.
    if (!CacheFits())
        RenderAll();
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
    // Drawn by exclusive-or, the marks invert what lies under them and vanish when drawn again.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const CMarkAreas marks = MarkAreas();
    painter.fillRect(marks.cursor, Qt::white);
    painter.fillRect(marks.selection, Qt::white);
    painter.fillRect(marks.marker, kMarkerColour);
}

void CWaveWnd::resizeEvent(QResizeEvent*) {
    ComputeScale();
    RenderAll();
    Rendered();
}

// ----- Marks ---------------------------------------------------------------------------------

QRect CWaveWnd::ColumnRect(qint64 column) const {
    if (column < 0 || column >= width())
        return {};
    return QRect(int(column), 0, 1, height());
}

CWaveWnd::CMarkAreas CWaveWnd::MarkAreas() const {
    CMarkAreas areas;
    if (m_cursorMode && m_cursorPhase)
        areas.cursor = ColumnRect(ColumnOf(m_cursorPos));
    if (!ShowsData())
        return areas;
    if (m_selection && m_selEnd >= m_first && m_selStart <= m_last) {
        const qint64 left =
            m_selStart < m_first ? 0 : std::max<qint64>(ColumnOf(m_selStart) - 1, 0);
        const qint64 right = std::min<qint64>(ColumnOf(std::min(m_selEnd, m_last)), width() - 1);
        if (left <= right)
            areas.selection = QRect(int(left), 0, int(right - left + 1), height());
    }
    if (m_markerShown && m_markerPos >= m_first && m_markerPos <= m_last)
        areas.marker = ColumnRect(ColumnOf(m_markerPos));
    return areas;
}

void CWaveWnd::UpdateMarks(const CMarkAreas& before) {
    const CMarkAreas after = MarkAreas();
    // Each mark inverts its own area: only where a mark's area changed do the pixels change.
    QRegion changed = QRegion(before.cursor).xored(after.cursor);
    changed += QRegion(before.selection).xored(after.selection);
    changed += QRegion(before.marker).xored(after.marker);
    update(changed);
}

void CWaveWnd::PlaceCursor(quint32 position) {
    m_selection = false;
    m_cursorMode = true;
    m_cursorPos = position;
    StartBlink();
}

void CWaveWnd::PlaceSelection(quint32 start, quint32 end) {
    m_blink.stop();
    m_cursorMode = false;
    m_selection = true;
    m_selStart = std::min(start, end);
    m_selEnd = std::max(start, end);
}

void CWaveWnd::RemoveMarks() {
    m_blink.stop();
    m_cursorMode = false;
    m_selection = false;
}

void CWaveWnd::StartBlink() {
    m_cursorPhase = true;
    // The desktop's caret rate; a flash time of 0 or less means a steady caret.
    const int flash = QApplication::cursorFlashTime();
    if (flash > 0)
        m_blink.start(flash / 2);
    else
        m_blink.stop();
}

void CWaveWnd::Blink() {
    if (m_selection)
        return;
    const CMarkAreas before = MarkAreas();
    m_cursorPhase = !m_cursorPhase;
    UpdateMarks(before);
}

void CWaveWnd::SetSelection(quint32 start, quint32 end) {
    const CMarkAreas before = MarkAreas();
    PlaceSelection(start, end);
    UpdateMarks(before);
    Report();
}

void CWaveWnd::SetCursor(quint32 position) {
    const CMarkAreas before = MarkAreas();
    PlaceCursor(position);
    UpdateMarks(before);
    Report();
}

void CWaveWnd::ClearSelectionAndCursor() {
    const CMarkAreas before = MarkAreas();
    RemoveMarks();
    UpdateMarks(before);
}

void CWaveWnd::SelectAll() {
    if (FrameCount() > 0)
        SetSelection(0, FrameCount() - 1);
}

void CWaveWnd::HideMarks() {
    if (m_hidden)
        return;
    const CMarkAreas before = MarkAreas();
    m_savedCursorMode = m_cursorMode;
    m_savedSelection = m_selection;
    RemoveMarks();
    m_hidden = true;
    UpdateMarks(before);
}

void CWaveWnd::RestoreMarks() {
    if (!m_hidden)
        return;
    const CMarkAreas before = MarkAreas();
    m_hidden = false;
    m_cursorMode = m_savedCursorMode;
    m_selection = m_savedSelection;
    if (m_cursorMode)
        StartBlink();
    UpdateMarks(before);
    Report();
}

void CWaveWnd::ShowPlayMarker(quint32 frame) {
    const CMarkAreas before = MarkAreas();
    m_markerShown = true;
    m_markerPos = frame;
    UpdateMarks(before);
}

// ----- Mouse ---------------------------------------------------------------------------------

void CWaveWnd::BeginGesture(qint64 x) {
    const CMarkAreas before = MarkAreas();
    RemoveMarks();
    const quint64 anchor = m_first + quint64(std::max<qint64>(x, 0)) * m_scale;
    if (anchor < FrameCount()) {
        m_anchor = quint32(anchor);
        PlaceSelection(m_anchor, m_anchor);
    } else {
        m_anchor = FrameCount() - 1;
        PlaceCursor(m_anchor);
    }
    m_current = m_anchor;
    UpdateMarks(before);
}

void CWaveWnd::DragTo(quint32 frame) {
    const CMarkAreas before = MarkAreas();
    m_current = frame;
    PlaceSelection(m_anchor, m_current);
    UpdateMarks(before);
    Report();
}

void CWaveWnd::EndGesture(bool moved) {
    if (moved)
        SetSelection(m_anchor, m_current);
    else
        SetCursor(m_anchor);
}

void CWaveWnd::mousePressEvent(QMouseEvent* event) {
    if (!ShowsData())
        return;
    if (event->button() == Qt::RightButton) {
        emit zoomRequested();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const int x = ColumnAt(event);
    BeginGesture(x);
    m_dragging = true;
    m_moved = false;
    m_partnerFollows = false;
    if (!m_partner)
        return;
    if (event->modifiers() & Qt::ControlModifier) {
        m_partner->ClearSelectionAndCursor();
    } else {
        m_partner->BeginGesture(x);
        m_partnerFollows = true;
    }
}

void CWaveWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !ShowsData())
        return;
    const quint32 lastFrame = FrameCount() - 1;
    const int column = ColumnAt(event);
    const qint64 x = std::max(column, 0);
    int scroll = 0;
    if (column < 0 && m_first != 0)
        scroll = -1;
    auto frameAt = [&] {
        return quint32(std::min<quint64>(m_first + quint64(x) * m_scale, lastFrame));
    };
    const quint64 reached = m_first + quint64(x) * m_scale;
    if (reached > m_last && qint64(m_first) < qint64(FrameCount()) - qint64(m_page) - 1)
        scroll = 1;
    quint32 frame = frameAt();
    if (frame == m_current && scroll == 0)
        return;
    if (scroll != 0) {
        // The view moves both strips by a line before this returns.
        emit scrollRequested(scroll);
        frame = frameAt();
    }
    if (m_partnerFollows && m_partner)
        m_partner->DragTo(frame);
    DragTo(frame);
    m_moved = true;
}

void CWaveWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    if (m_partnerFollows && m_partner)
        m_partner->EndGesture(m_moved);
    EndGesture(m_moved);
}

void CWaveWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!ShowsData() || event->button() != Qt::LeftButton)
        return;
    // The double click replaces whatever its first click began.
    m_dragging = false;
    if (m_partner) {
        if (event->modifiers() & Qt::ControlModifier)
            m_partner->ClearSelectionAndCursor();
        else
            m_partner->SelectAll();
    }
    SelectAll();
}
