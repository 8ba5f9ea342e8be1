#include "ui/manipwind.h"

#include "core/sampleaudio.h"
#include "core/wavedevice.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>

CCurveReadout::CCurveReadout(QLabel* label, CCurveMode mode, float startSeconds, float endSeconds)
    : m_label(label), m_mode(mode), m_start(startSeconds), m_end(endSeconds) {}

QString CCurveReadout::Text(double time, double height) const {
    const double seconds = m_start + (m_end - m_start) * time;
    if (m_mode == CCurveMode::Envelope)
        return QString::asprintf("%.1fs -> %.1f%%", seconds, (1 - height) * 100);
    return QString::asprintf("%.1fs -> %.0f%%L,%.0f%%R", seconds, (1 - height) * 100, height * 100);
}

void CCurveReadout::Show(double time, double height) {
    m_label->setText(Text(time, height));
}

// A blank rather than nothing, so that the label keeps its line.
void CCurveReadout::Clear() {
    m_label->setText(QStringLiteral(" "));
}

// The refusal's tone through the sound output the program installed. Where there is none the
// beep is silent: the click simply does nothing, which says enough.
class CManipWind::CBeep {
public:
    CBeep() {
        constexpr quint32 kRate = 22050;
        constexpr quint32 kFrames = kRate * kBeepMilliseconds / 1000;
        // 5 ms fades at both ends keep the speaker from clicking.
        constexpr double kFade = kRate / 200.0;
        m_tone.SetFormat(kRate, false, true);
        if (!m_tone.InsertFrames(0, kFrames, 0))
            return;
        quint8* p = m_tone.GetData();
        for (quint32 i = 0; i < kFrames; ++i, p += 2) {
            const double fade = std::min({1.0, i / kFade, (kFrames - 1 - i) / kFade});
            const double wave = std::sin(2 * M_PI * kBeepHertz * i / kRate);
            qToLittleEndian<qint16>(qint16(std::lround(8000 * fade * wave)), p);
        }
        m_tone.CommitFormat();
        QObject::connect(&m_notify, &CWaveNotify::OutputDone, &m_notify,
                         [this] { m_toneAudio.StopPlayback(); });
    }

    void Play() {
        if (m_toneAudio.IsPlaying())
            m_toneAudio.StopPlayback();
        m_toneAudio.StartPlayback(&m_notify, -1, -1, -1);
    }

private:
    CWaveNotify m_notify;
    CSampleBuffer m_tone;
    CSampleAudio m_toneAudio{m_tone};
};

CManipWind::CManipWind(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("ManipWind"));
    setMouseTracking(true);
    setMinimumSize(kMinimumWidth, 120);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    resize(kMinimumWidth, 150);
    Reset(CCurveMode::Envelope);
}

CManipWind::~CManipWind() = default;

QSize CManipWind::sizeHint() const {
    return QSize(480, 220);
}

double CManipWind::TimeOf(int x) const {
    return double(x - kInset) / double(AreaRight() - kInset);
}

double CManipWind::HeightOf(int y) const {
    return double(y - kInset) / double(AreaBottom() - kInset);
}

// The panning line is the exact middle, so that a new curve pans to 50 % left and right.
void CManipWind::Reset(CCurveMode mode) {
    const double height = mode == CCurveMode::Envelope ? 0.0 : 0.5;
    m_fractions = {QPointF(0.0, height), QPointF(1.0, height)};
    m_dragging = false;
    PlacePoints();
    update();
}

bool CManipWind::IsValidCurve(const std::vector<QPointF>& fractions) {
    if (fractions.size() < 2 || fractions.size() > std::size_t(kMaxPoints) ||
        fractions.front().x() != 0.0 || fractions.back().x() != 1.0)
        return false;
    for (std::size_t i = 0; i < fractions.size(); ++i) {
        const QPointF& f = fractions[i];
        // Written so that NaN fails every test.
        if (!(f.x() >= 0.0 && f.x() <= 1.0 && f.y() >= 0.0 && f.y() <= 1.0))
            return false;
        if (i > 0 && !(fractions[i - 1].x() < f.x()))
            return false;
    }
    return true;
}

bool CManipWind::SetFractions(const std::vector<QPointF>& fractions) {
    if (!IsValidCurve(fractions))
        return false;
    m_fractions = fractions;
    m_dragging = false;
    PlacePoints();
    update();
    return true;
}

void CManipWind::PlacePoints() {
    const int w = AreaRight();
    const int h = AreaBottom();
    const int n = int(m_fractions.size());
    m_points.resize(m_fractions.size());
    for (int i = 0; i < n; ++i) {
        m_points[i] = QPoint(kInset + qRound(m_fractions[i].x() * (w - kInset)),
                             kInset + qRound(m_fractions[i].y() * (h - kInset)));
    }
    // Points closer than a pixel (a preset drawn wider) move apart: first rightwards, then
    // leftwards from the fixed last point.
    for (int i = 1; i < n - 1; ++i)
        m_points[i].rx() = std::max(m_points[i].x(), m_points[i - 1].x() + 1);
    for (int i = n - 2; i > 0; --i)
        m_points[i].rx() = std::min(m_points[i].x(), m_points[i + 1].x() - 1);
    // A moved point's fraction follows it, so that the fractions keep rising strictly whatever
    // the mouse does next.
    for (int i = 1; i < n - 1; ++i) {
        if (kInset + qRound(m_fractions[i].x() * (w - kInset)) != m_points[i].x())
            m_fractions[i].rx() = TimeOf(m_points[i].x());
    }
}

namespace {

double SegmentValue(const QPointF& a, const QPointF& b, double t) {
    const double va = 1.0 - a.y();
    if (a.y() == b.y())
        return va;
    const double vb = 1.0 - b.y();
    return va + (vb - va) / (b.x() - a.x()) * (t - a.x());
}

} // namespace

double CManipWind::Evaluate(double t) const {
    for (std::size_t i = 0; i + 1 < m_fractions.size(); ++i) {
        const QPointF& a = m_fractions[i];
        const QPointF& b = m_fractions[i + 1];
        if (a.x() <= t && t <= b.x())
            return SegmentValue(a, b, t);
    }
    return 0.0;
}

std::vector<CSampleEditor::CSegment> CManipWind::Segments(quint32 first, quint32 last,
                                                          double scale) const {
    std::vector<CSampleEditor::CSegment> runs;
    if (last < first)
        return runs;
    const qint64 n = qint64(last) - first;
    if (n == 0) {
        const double value = Evaluate(0.0) * scale;
        runs.push_back({first, first, value, value});
        return runs;
    }
    // Frame j of the range has t = j / n, computed as the per-frame definition does, so that a
    // frame on a corner goes to the first segment that holds it.
    auto timeOf = [n](qint64 j) { return double(j) / double(n); };
    qint64 lo = 0;
    for (std::size_t i = 0; i + 1 < m_fractions.size() && lo <= n; ++i) {
        const QPointF& a = m_fractions[i];
        const QPointF& b = m_fractions[i + 1];
        qint64 hi = std::clamp<qint64>(qint64(std::floor(b.x() * double(n))), lo - 1, n);
        while (hi < n && timeOf(hi + 1) <= b.x())
            ++hi;
        while (hi >= lo && timeOf(hi) > b.x())
            --hi;
        if (hi < lo)
            continue;
        runs.push_back({quint32(first + lo), quint32(first + hi),
                        SegmentValue(a, b, timeOf(lo)) * scale,
                        SegmentValue(a, b, timeOf(hi)) * scale});
        lo = hi + 1;
    }
    return runs;
}

void CManipWind::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlacePoints();
}

void CManipWind::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    const int w = AreaRight();
    const int h = AreaBottom();
    // Faint guides at the quarters, so that levels can be read off the curve.
    painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DotLine));
    for (int q = 1; q <= 3; ++q) {
        const int y = kInset + qRound((h - kInset) * q / 4.0);
        painter.drawLine(kInset, y, w, y);
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawPolyline(m_points.data(), int(m_points.size()));
    painter.setBrush(Qt::white);
    for (const QPoint& p : m_points)
        painter.drawRect(p.x() - 3, p.y() - 3, 6, 6);
}

void CManipWind::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint m = event->position().toPoint();
    const int n = PointCount();
    for (int i = 0; i < n; ++i) {
        const QPoint& p = m_points[i];
        if (p.x() - 3 < m.x() && m.x() < p.x() + 3 && p.y() - 3 < m.y() && m.y() < p.y() + 3) {
            m_dragging = true;
            m_dragIndex = i;
            return;
        }
    }
    int c = -1;
    for (int i = 0; i < n; ++i) {
        if (m_points[i].x() - 3 < m.x())
            c = i;
    }
    const bool between =
        c >= 0 && c + 1 < n && m.x() >= m_points[c].x() + 5 && m.x() <= m_points[c + 1].x() - 4;
    if (!between || n >= kMaxPoints) {
        Beep();
        return;
    }
    const QPoint point(m.x(), std::clamp(m.y(), kInset, AreaBottom()));
    m_points.insert(m_points.begin() + c + 1, point);
    m_fractions.insert(m_fractions.begin() + c + 1,
                       QPointF(TimeOf(point.x()), HeightOf(point.y())));
    m_dragging = true;
    m_dragIndex = c + 1;
    update();
}

void CManipWind::mouseMoveEvent(QMouseEvent* event) {
    const QPoint m = event->position().toPoint();
    if (m_dragging) {
        Drag(m);
        return;
    }
    if (m.x() >= kInset && m.x() <= AreaRight() && m.y() >= kInset && m.y() <= AreaBottom())
        ShowReadout(TimeOf(m.x()), HeightOf(m.y()));
    else
        ClearReadout();
}

// Leaving the control however fast clears the read-out; while a point is dragged the press has
// the mouse, and letting go clears it.
void CManipWind::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (!m_dragging)
        ClearReadout();
}

void CManipWind::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_dragging)
        EndDrag();
}

void CManipWind::Drag(const QPoint& m) {
    const int i = m_dragIndex;
    const int last = PointCount() - 1;
    const bool inner = i > 0 && i < last;
    const int h = AreaBottom();
    if (inner && (m.y() < -20 || m.y() > h + 20)) {
        m_points.erase(m_points.begin() + i);
        m_fractions.erase(m_fractions.begin() + i);
        EndDrag();
        return;
    }
    const int lo = inner ? m_points[i - 1].x() + 1 : m_points[i].x();
    const int hi = inner ? m_points[i + 1].x() - 1 : m_points[i].x();
    m_points[i] = QPoint(std::clamp(m.x(), lo, hi), std::clamp(m.y(), kInset, h));
    // The end points keep their exact time fractions 0 and 1.
    m_fractions[i] =
        QPointF(inner ? TimeOf(m_points[i].x()) : m_fractions[i].x(), HeightOf(m_points[i].y()));
    update();
    ShowReadout(TimeOf(m_points[i].x()), HeightOf(m_points[i].y()));
}

void CManipWind::EndDrag() {
    m_dragging = false;
    ClearReadout();
    update();
}

void CManipWind::ShowReadout(double time, double height) {
    if (m_readout)
        m_readout->Show(time, height);
}

void CManipWind::ClearReadout() {
    if (m_readout)
        m_readout->Clear();
}

void CManipWind::Beep() {
    if (!m_beep)
        m_beep = std::make_unique<CBeep>();
    m_beep->Play();
}
