#include "ui/wlproview.h"

#include "ui/curvecommands.h"
#include "ui/rulerwnd.h"
#include "ui/samplecommands.h"
#include "ui/wavewnd.h"

#include "core/sampleclip.h"
#include "core/wlprodoc.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// The wait cursor for as long as an edit runs.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

bool ClipboardHoldsSample() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && mime->hasFormat(CSampleClip::FormatName());
}

} // namespace

CWlproView::CWlproView(CWlproDoc* document, QWidget* parent) : QWidget(parent), m_doc(document) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    m_ruler = new CRulerWnd(this);
    m_scroll = new QScrollBar(Qt::Horizontal, this);
    m_scroll->setRange(0, kScrollRange);
    m_scroll->setPageStep(kScrollRange / 10);
    connect(m_scroll, &QScrollBar::actionTriggered, this, &CWlproView::OnScrollAction);
    connect(m_scroll, &QScrollBar::valueChanged, this, [this](int) {
        if (!m_settingThumb)
            OnScrollAction(QAbstractSlider::SliderMove);
    });

    m_strip1 = MakeStrip(0);
    MatchChannelCount();
    const CSampleBuffer& buffer = m_doc->Buffer();
    const quint32 frames = buffer.GetFrameCount();
    m_strip1->SetRange(&buffer, &m_doc->Summary(), 0, frames ? frames - 1 : 0);
    if (m_strip2)
        m_strip2->SetRange(&buffer, &m_doc->Summary(), 0, frames ? frames - 1 : 0);
    m_created = true;
    m_shownFrames = frames;

    m_playTimer.setInterval(50);
    connect(&m_playTimer, &QTimer::timeout, this, &CWlproView::OnPlayTimer);
    connect(&m_notify, &CWaveNotify::OutputDone, this, &CWlproView::OnPlayDone);
    connect(m_doc, &CWlproDoc::sampleChanged, this, &CWlproView::OnSampleChanged);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &CWlproView::commandStateChanged);
    ApplyLayout();
    UpdateStatus();
}

// A view that closes while it plays takes its playback along: nobody else would hear the end.
CWlproView::~CWlproView() {
    if (m_playing)
        m_doc->Audio().StopPlayback();
}

CWaveWnd* CWlproView::MakeStrip(int channel) {
    auto* strip = new CWaveWnd(channel, this);
    // A right strip that appears later draws as the left one does.
    if (m_strip1)
        strip->SetStyle(m_strip1->Style());
    strip->installEventFilter(this);
    connect(strip, &CWaveWnd::scrollRequested, this,
            [this](int direction) { ScrollStrips(direction, false); });
    connect(strip, &CWaveWnd::zoomRequested, this, [this] { ZoomToSelection(true); });
    connect(strip, &CWaveWnd::selectionReported, this, &CWlproView::commandStateChanged);
    connect(strip, &CWaveWnd::cursorReported, this, &CWlproView::commandStateChanged);
    strip->show();
    return strip;
}

// The second strip follows the sample's channel count. A selection or cursor of the first strip
// is carried to both at half its frames: the frames of a reinterpreted mono sample pair up.
void CWlproView::MatchChannelCount() {
    const bool stereo = m_doc->Buffer().GetChannels() != 1;
    if (stereo == (m_strip2 != nullptr))
        return;
    if (!stereo) {
        delete m_strip2;
        m_strip2 = nullptr;
        m_strip1->SetPartner(nullptr);
    } else {
        m_strip2 = MakeStrip(1);
        m_strip1->SetPartner(m_strip2);
        m_strip2->SetPartner(m_strip1);
        if (m_created) {
            const CSampleBuffer& buffer = m_doc->Buffer();
            const quint32 frames = buffer.GetFrameCount();
            for (CWaveWnd* strip : {m_strip1, m_strip2})
                strip->SetRange(&buffer, &m_doc->Summary(), 0, frames ? frames - 1 : 0);
            if (m_strip1->HasSelection()) {
                const quint32 start = m_strip1->SelectionStart() / 2;
                const quint32 end = m_strip1->SelectionEnd() / 2;
                m_strip1->SetSelection(start, end);
                m_strip2->SetSelection(start, end);
            } else if (m_strip1->InCursorMode()) {
                const quint32 position = m_strip1->CursorPosition() / 2;
                m_strip1->SetCursor(position);
                m_strip2->SetCursor(position);
            }
        }
    }
    if (m_created) {
        ApplyLayout();
        UpdateRuler();
    }
}

void CWlproView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_created)
        ApplyLayout();
}

void CWlproView::ApplyLayout() {
    const int cx = width();
    const int cy = height();
    const int s = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    if (!m_strip2) {
        m_strip1->setGeometry(7, 7, std::max(cx - 14, 1), std::max(cy - s - 46, 1));
    } else {
        const int h = (cy - s - 48) / 2;
        m_strip1->setGeometry(7, 7, std::max(cx - 14, 1), std::max(h - 3, 1));
        m_strip2->setGeometry(7, h + 12, std::max(cx - 14, 1), std::max(h - 3, 1));
    }
    m_ruler->setGeometry(5, cy - s - 37, std::max(cx - 10, 1), 27);
    m_scroll->setGeometry(5, cy - s - 5, std::max(cx - 10, 1), s);
    UpdateThumb();
    UpdateRuler();
    update();
}

// A strip computes its scale again when its width changes; the thumb, the ruler and the panes
// follow the first strip's once it has.
bool CWlproView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_strip1 && event->type() == QEvent::Resize && m_created) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                UpdateThumb();
                UpdateStatus();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

// A raised edge around the view and a sunken one around each strip, as 16-colour programs drew
// their panels.
void CWlproView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor face = pal.color(QPalette::Button);
    const QRect r = rect();
    const int right = r.width() - 1;
    const int bottom = r.height() - 1;
    p.setPen(light);
    p.drawLine(0, bottom, 0, 0);
    p.drawLine(0, 0, right, 0);
    p.setPen(shadow);
    p.drawLine(right, 0, right, bottom);
    p.drawLine(right, bottom, 0, bottom);
    for (CWaveWnd* strip : {m_strip1, m_strip2}) {
        if (!strip)
            continue;
        // The edge takes the two pixels beside the strip on every side: columns R - 2 and R - 1
        // on the right, rows B - 1 and B at the bottom (a QRect's bottom() is its last row).
        const QRect g = strip->geometry().adjusted(-2, -2, 2, 2);
        const int L = g.left(), T = g.top(), R = g.right() + 1, B = g.bottom();
        p.setPen(light);
        p.drawLine(L, B, R - 1, B);
        p.drawLine(R - 1, B, R - 1, T);
        p.setPen(shadow);
        p.drawLine(L, B, L, T);
        p.drawLine(L, T, R, T);
        p.setPen(face);
        p.drawLine(L + 1, B - 1, R - 2, B - 1);
        p.drawLine(R - 2, B - 1, R - 2, T + 1);
        p.setPen(Qt::black);
        p.drawLine(L + 1, B - 1, L + 1, T + 1);
        p.drawLine(L + 1, T + 1, R - 1, T + 1);
    }
}

// The strips ask for their own zoom; a right press anywhere else in the view (the ruler, the
// edges) zooms the same way.
void CWlproView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    ZoomToSelection(true);
}

CWlproView::CRange CWlproView::GetSelectionRange() const {
    return ResolveRange(false);
}

// Each strip gives its selection, or for a cursor the whole sample (or, for a paste, the cursor's
// frame); both strips together act on both channels, one alone on its own channel.
CWlproView::CRange CWlproView::ResolveRange(bool cursorAsPoint) const {
    const qint64 frames = m_doc->Buffer().GetFrameCount();
    auto rangeOf = [frames, cursorAsPoint](const CWaveWnd* strip, CRange& range) {
        if (strip->HasSelection()) {
            range.first = strip->SelectionStart();
            range.last = strip->SelectionEnd();
        } else if (strip->InCursorMode()) {
            range.first = cursorAsPoint ? strip->CursorPosition() : 0;
            range.last = cursorAsPoint ? strip->CursorPosition() : frames - 1;
        } else {
            return false;
        }
        range.valid = true;
        return true;
    };
    CRange one;
    CRange two;
    const bool given1 = rangeOf(m_strip1, one);
    const bool given2 = m_strip2 ? rangeOf(m_strip2, two) : true;
    if (given1) {
        one.channel = given2 ? 0 : 1;
        return one;
    }
    if (m_strip2 && given2)
        two.channel = 2;
    return two;
}

bool CWlproView::IsCommandEnabled(CommandId id) const {
    const CSampleAudio& audio = m_doc->Audio();
    const bool nonEmpty = m_doc->Buffer().GetFrameCount() > 0;
    const bool idle = !audio.IsPlaying() && !audio.IsRecording();
    switch (id) {
    case CommandId::Play:
        return nonEmpty && !audio.IsRecording();
    case CommandId::ZoomIn:
    case CommandId::ZoomOut:
        return nonEmpty;
    case CommandId::EditCopy:
    case CommandId::EditCut:
    case CommandId::Delete:
    case CommandId::Reverse:
    case CommandId::ChangeSign:
    case CommandId::PeakSearch:
        return idle && nonEmpty && GetSelectionRange().valid;
    case CommandId::DecodeULaw:
    case CommandId::Convert:
        return idle && nonEmpty;
    case CommandId::Amplify:
    case CommandId::Envelope:
        return idle && nonEmpty && GetSelectionRange().valid;
    case CommandId::StereoPanning:
        return idle && nonEmpty && IsStereo() && GetSelectionRange().valid;
    case CommandId::EditPaste:
        return idle && ClipboardHoldsSample() && (!nonEmpty || GetSelectionRange().valid);
    case CommandId::StyleLines:
    case CommandId::StyleDots:
    case CommandId::StyleBars:
    case CommandId::StylePeaks:
    case CommandId::StyleSpectrum:
        return true;
    case CommandId::EditUndo:
        return idle && m_doc->Editor().CanUndo();
    case CommandId::Redo:
        return idle && m_doc->Editor().CanRedo();
    default:
        return false;
    }
}

bool CWlproView::Execute(CommandId id) {
    if (!IsCommandEnabled(id))
        return false;
    CWlproDoc& doc = *m_doc;
    CSampleEditor& editor = doc.Editor();
    const CRange range = GetSelectionRange();
    switch (id) {
    case CommandId::Play:
        Play();
        break;
    case CommandId::ZoomIn:
        ZoomToSelection();
        break;
    case CommandId::StyleLines:
    case CommandId::StyleDots:
    case CommandId::StyleBars:
    case CommandId::StylePeaks:
    case CommandId::StyleSpectrum:
        SetStripStyle(CStripStyle(int(id) - int(CommandId::StyleLines)));
        break;
    case CommandId::ZoomOut:
        ZoomOut();
        break;
    case CommandId::EditCopy: {
        CWaitCursor wait;
        doc.Buffer().CopyToClipboard(this, range.first, range.last, range.channel);
        break;
    }
    case CommandId::EditCut: {
        CWaitCursor wait;
        if (editor.CutToClipboard(range.first, range.last, range.channel))
            AfterRangeEdit(range, quint32(range.first));
        break;
    }
    case CommandId::Delete: {
        CWaitCursor wait;
        if (editor.DeleteFrames(range.first, range.last, range.channel))
            AfterRangeEdit(range, quint32(range.first));
        break;
    }
    case CommandId::EditPaste:
        Paste();
        break;
    case CommandId::Reverse: {
        CWaitCursor wait;
        editor.Reverse(range.first, range.last, range.channel);
        doc.SampleEdited(quint32(range.first), quint32(range.last));
        break;
    }
    case CommandId::ChangeSign: {
        CWaitCursor wait;
        editor.ChangeSign(range.first, range.last);
        doc.SampleEdited(quint32(range.first), quint32(range.last));
        break;
    }
    case CommandId::PeakSearch:
        ShowMarker(doc.Buffer().PeakSearch(range.first, range.last, range.channel));
        break;
    case CommandId::DecodeULaw: {
        CWaitCursor wait;
        if (editor.DecodeULaw())
            doc.SampleEdited(0);
        break;
    }
    case CommandId::Amplify:
        RunAdjustVolume(*this);
        break;
    case CommandId::Convert:
        RunConvertSample(*this);
        break;
    case CommandId::Envelope:
        RunEnvelope(*this);
        break;
    case CommandId::StereoPanning:
        RunStereoPanning(*this);
        break;
    case CommandId::EditUndo:
        doc.Undo();
        break;
    case CommandId::Redo:
        doc.Redo();
        break;
    default:
        return false;
    }
    emit commandStateChanged();
    return true;
}

// After a cut or delete: the cursor goes to where the range began, in the strips it touched.
void CWlproView::AfterRangeEdit(const CRange& range, quint32 cursor) {
    m_doc->SampleEdited(quint32(range.first));
    const quint32 frames = m_doc->Buffer().GetFrameCount();
    const quint32 position = std::min(cursor, frames ? frames - 1 : 0);
    if (range.channel != 2)
        m_strip1->SetCursor(position);
    if (m_strip2 && range.channel != 1)
        m_strip2->SetCursor(position);
}

// The selection is replaced by the clip; a cursor takes the clip in front of it.
void CWlproView::Paste() {
    CRange range = ResolveRange(true);
    if (!range.valid)
        range = CRange{0, 0, 0, true};
    const bool selected = m_strip1->HasSelection() || (m_strip2 && m_strip2->HasSelection());
    quint32 pasted = 0;
    {
        CWaitCursor wait;
        pasted =
            m_doc->Editor().ReplaceWithClipboard(range.first, range.last, range.channel, selected);
    }
    if (pasted)
        AfterRangeEdit(range, quint32(range.first + pasted));
}

void CWlproView::SetStripStyle(CStripStyle style) {
    for (CWaveWnd* strip : {m_strip1, m_strip2})
        if (strip)
            strip->SetStyle(style);
    // The properties window reads the style with the status, the frame with the commands.
    UpdateStatus();
    emit commandStateChanged();
}

CStripStyle CWlproView::StripStyle() const {
    return m_strip1->Style();
}

// Every view of the document follows an edit, whichever view made it.
void CWlproView::OnSampleChanged(quint32 from) {
    const quint32 frames = m_doc->Buffer().GetFrameCount();
    const bool wasEmpty = m_shownFrames == 0 && frames > 0;
    m_shownFrames = frames;
    MatchChannelCount();
    for (CWaveWnd* strip : {m_strip1, m_strip2}) {
        if (!strip)
            continue;
        strip->DataChanged(from);
        if (wasEmpty)
            strip->ZoomOut();
    }
    UpdateThumb();
    UpdateStatus();
    emit commandStateChanged();
}

void CWlproView::ZoomToSelection(bool rightButton) {
    const CWaveWnd* source = nullptr;
    if (m_strip1->HasSelection())
        source = m_strip1;
    else if (m_strip2 && m_strip2->HasSelection())
        source = m_strip2;
    if (source) {
        const quint32 first = source->SelectionStart();
        const quint32 last = source->SelectionEnd();
        m_strip1->ZoomToRange(first, last);
        if (m_strip2)
            m_strip2->ZoomToRange(first, last);
    }
    if (rightButton && m_strip2 && m_strip2->HasSelection())
        m_strip2->ZoomToRange(m_strip2->SelectionStart(), m_strip2->SelectionEnd());
    UpdateThumb();
    UpdateRuler();
    UpdateStatus();
}

void CWlproView::ZoomOut() {
    m_strip1->ZoomOut();
    if (m_strip2)
        m_strip2->ZoomOut();
    UpdateThumb();
    UpdateRuler();
    UpdateStatus();
}

void CWlproView::UpdateThumb() {
    const qint64 maxFirst = qint64(m_doc->Buffer().GetFrameCount()) - qint64(m_strip1->Page());
    const int thumb =
        maxFirst > 0 ? int(double(m_strip1->First()) / double(maxFirst) * kScrollRange) : 0;
    m_settingThumb = true;
    m_scroll->setValue(std::clamp(thumb, 0, int(kScrollRange)));
    m_settingThumb = false;
}

void CWlproView::UpdateRuler() {
    if (m_doc->Buffer().GetFrameCount() == 0)
        m_ruler->SetScale(0, 0);
    else
        m_ruler->SetScale(m_strip1->First(), m_strip1->Scale());
}

void CWlproView::ScrollStrips(int direction, bool page) {
    for (CWaveWnd* strip : {m_strip1, m_strip2}) {
        if (!strip)
            continue;
        const quint32 step = page ? strip->Page() : strip->Line();
        if (direction < 0)
            strip->ScrollLeft(step);
        else
            strip->ScrollRight(step);
    }
    UpdateThumb();
    UpdateRuler();
}

// The scroll bar's own arithmetic is not used: steps move the strips by their line or page and
// the thumb follows the first strip.
void CWlproView::OnScrollAction(int action) {
    if (m_doc->Buffer().GetFrameCount() == 0)
        return;
    const qint64 maxFirst =
        std::max<qint64>(qint64(m_doc->Buffer().GetFrameCount()) - qint64(m_strip1->Page()), 0);
    auto jump = [this](quint32 first) {
        for (CWaveWnd* strip : {m_strip1, m_strip2})
            if (strip)
                strip->ScrollTo(first);
    };
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        ScrollStrips(-1, false);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        ScrollStrips(1, false);
        break;
    case QAbstractSlider::SliderPageStepSub:
        ScrollStrips(-1, true);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        ScrollStrips(1, true);
        break;
    case QAbstractSlider::SliderToMinimum:
        jump(0);
        break;
    case QAbstractSlider::SliderToMaximum:
        jump(quint32(maxFirst));
        break;
    case QAbstractSlider::SliderMove: {
        const int position = m_scroll->sliderPosition();
        jump(quint32(double(maxFirst) * (double(position) / kScrollRange)));
        UpdateRuler();
        return;
    }
    default:
        return;
    }
    // The step actions set the thumb themselves once the slider has applied its own value.
    QTimer::singleShot(0, this, [this] {
        UpdateThumb();
        UpdateRuler();
    });
}

QStringList CWlproView::StatusTexts() const {
    return m_status;
}

void CWlproView::UpdateStatus() {
    const CSampleBuffer& buffer = m_doc->Buffer();
    const double seconds =
        buffer.GetRate() ? double(buffer.GetFrameCount()) / double(buffer.GetRate()) : 0.0;
    m_status = QStringList{
        QStringLiteral("%1 bytes").arg(buffer.GetByteLength()),
        buffer.GetDepth() == SampleDepth::Float32 ? QStringLiteral("32 Bit Float")
                                                  : QStringLiteral("%1 Bit").arg(buffer.GetBits()),
        QStringLiteral("%1 Hz").arg(buffer.GetRate()),
        QStringLiteral("%1 secs").arg(seconds, 0, 'f', 2),
        QStringLiteral("%1:1").arg(m_strip1->Scale()),
    };
    UpdateRuler();
    m_scroll->setEnabled(buffer.GetFrameCount() > 0);
    emit statusChanged();
}

void CWlproView::SetViewActive(bool active) {
    for (CWaveWnd* strip : {m_strip1, m_strip2}) {
        if (!strip)
            continue;
        if (active && strip->MarksHidden())
            strip->RestoreMarks();
        else if (!active && !strip->MarksHidden())
            strip->HideMarks();
    }
    if (active)
        UpdateStatus();
    emit commandStateChanged();
}

void CWlproView::Play() {
    CSampleAudio& audio = m_doc->Audio();
    const CRange range = GetSelectionRange();
    const qint64 first = range.valid ? range.first : -1;
    const qint64 last = range.valid ? range.last : -1;
    const qint16 result = audio.StartPlayback(&m_notify, -1, first, last);
    if (result == 0) {
        m_playing = true;
        m_playTimer.start();
    } else if (result == 1) {
        // Play acts as Stop while the sample plays; the device's notification ends it.
        m_playing = false;
        audio.PausePlayback();
        m_playTimer.stop();
        ShowMarker(audio.GetPlayPosition());
        audio.ResetPlayback();
    }
    emit commandStateChanged();
}

void CWlproView::OnPlayTimer() {
    ShowMarker(m_doc->Audio().GetPlayPosition());
}

void CWlproView::OnPlayDone() {
    m_playTimer.stop();
    CSampleAudio& audio = m_doc->Audio();
    if (m_playing)
        ShowMarker(audio.GetPlayPosition());
    audio.StopPlayback();
    m_playing = false;
    emit commandStateChanged();
}

void CWlproView::ShowMarker(quint32 frame) {
    m_strip1->ShowPlayMarker(frame);
    if (m_strip2)
        m_strip2->ShowPlayMarker(frame);
}
