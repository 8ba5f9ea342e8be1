// The waveform strips and the ruler as the user meets them: the scale a zoom gives, where the
// scroll buttons lead, what the mouse selects in one or both channels, and what the pixels show.

#include "core/peaksummary.h"
#include "core/spectrumcache.h"
#include "core/wlprodoc.h"
#include "samplemaker.h"
#include "ui/rulerwnd.h"
#include "ui/wavewnd.h"
#include "ui/wlproview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 100;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const CStripStyle kStyles[] = {CStripStyle::Lines, CStripStyle::Dots, CStripStyle::Bars,
                               CStripStyle::Peaks};

// A stereo view's two partner strips over one sample, in a window of their own.
struct CStrips {
    CSampleBuffer buffer;
    CPeakSummary summary;
    QWidget window;
    CWaveWnd* left = new CWaveWnd(0, &window);
    CWaveWnd* right = new CWaveWnd(1, &window);

    CStrips(SampleLayout layout, const Values& values, int width = kWidth) {
        FillSample(buffer, layout, 22050, values);
        summary.Build(buffer);
        left->setGeometry(0, 0, width, kHeight);
        right->setGeometry(0, kHeight, width, kHeight);
        window.resize(width, 2 * kHeight);
        window.show();
        left->SetPartner(right);
        right->SetPartner(left);
        // As the view does: both strips move by a line before the request returns.
        for (CWaveWnd* strip : {left, right})
            QObject::connect(strip, &CWaveWnd::scrollRequested, &window, [this](int direction) {
                for (CWaveWnd* s : {left, right})
                    direction < 0 ? s->ScrollLeft(s->Line()) : s->ScrollRight(s->Line());
            });
        Zoom(0, buffer.GetFrameCount() - 1);
    }
    void Zoom(quint32 first, quint32 last) {
        for (CWaveWnd* s : {left, right}) {
            s->SetRange(&buffer, &summary, first, last);
            s->ClearSelectionAndCursor();
        }
    }
};

Values Silence(SampleLayout layout, quint32 frames) {
    return Values(frames * LayoutChannels(layout), LayoutIs16Bit(layout) ? 0 : 128);
}

// 100000 stereo frames shown from `first` at N = 10: page 2000, line 500.
std::unique_ptr<CStrips> TenToOne(quint32 first = 0) {
    auto strips = std::make_unique<CStrips>(SampleLayout::Stereo16,
                                            RandomValues(SampleLayout::Stereo16, 100000, 7));
    strips->Zoom(first, first + 3599);
    return strips;
}

QImage Shot(CWaveWnd* strip) {
    return strip->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Drag(CWaveWnd* s, int from, int to, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mousePress(s, Qt::LeftButton, keys, QPoint(from, 10));
    QTest::mouseMove(s, QPoint(to, 10));
    QTest::mouseRelease(s, Qt::LeftButton, keys, QPoint(to, 10));
}

void DoubleClick(CWaveWnd* s, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseDClick(s, Qt::LeftButton, keys, QPoint(5, 10));
    QTest::mouseRelease(s, Qt::LeftButton, keys, QPoint(5, 10));
}

// ----- Scale and scrolling -------------------------------------------------------------------

TEST(Strip, ScaleFollowsTheRule) {
    const struct {
        quint32 frames;
        qint64 first; // -1: Zoom Out
        quint32 last;
        quint32 scale;
    } cases[] = {
        {kWidth * 1000, -1, 0, 1000},     // an exact multiple of the width
        {kWidth * 1000 + 1, -1, 0, 1001}, // one frame more needs N + 1
        {kWidth / 2, -1, 0, 1},           // shorter than the strip
        {kWidth * 1000, 0, kWidth * 1000 - 1, 1000},
        {kWidth * 1000, 0, 3599, 10}, // a part of a longer sample rounds up
        {kWidth * 1000, 500, 500, 1},
    };
    for (const auto& c : cases) {
        CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, c.frames));
        c.first < 0 ? strips.left->ZoomOut() : strips.left->ZoomToRange(quint32(c.first), c.last);
        EXPECT_EQ(strips.left->Scale(), c.scale) << c.frames << " " << c.first << " " << c.last;
        EXPECT_EQ(strips.left->Page(), c.scale * (kWidth / 2));
        EXPECT_EQ(strips.left->Line(), c.scale * (kWidth / 8));
    }
}

TEST(Strip, ZoomOutShowsTheWholeSampleAgainAndResizeKeepsTheRange) {
    CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, kWidth * 100));
    strips.left->ZoomToRange(1000, 4999);
    EXPECT_EQ(strips.left->First(), 1000u);
    EXPECT_EQ(strips.left->Scale(), 11u);
    strips.left->ZoomOut();
    EXPECT_EQ(strips.left->First(), 0u);
    EXPECT_EQ(strips.left->Scale(), 100u);
    strips.left->resize(kWidth * 2, kHeight);
    EXPECT_EQ(strips.left->Scale(), 50u);
}

using ScrollFn = void (CWaveWnd::*)(quint32);
using StepFn = quint32 (CWaveWnd::*)() const;

TEST(Strip, ScrollingStaysWithinTheData) {
    const struct {
        quint32 first;
        ScrollFn scroll;
        StepFn step;
        quint32 expected;
    } cases[] = {
        {5000, &CWaveWnd::ScrollLeft, &CWaveWnd::Line, 4500},
        {500, &CWaveWnd::ScrollLeft, &CWaveWnd::Line, 0},
        {1500, &CWaveWnd::ScrollLeft, &CWaveWnd::Page, 0},
        {0, &CWaveWnd::ScrollRight, &CWaveWnd::Line, 500},
        {0, &CWaveWnd::ScrollRight, &CWaveWnd::Page, 1990}, // at most last drawn (3990) - page
        {97000, &CWaveWnd::ScrollRight, &CWaveWnd::Line, 97500},
        {97000, &CWaveWnd::ScrollRight, &CWaveWnd::Page, 97990},
        {98000, &CWaveWnd::ScrollRight, &CWaveWnd::Line, 98000},
        {1000, &CWaveWnd::ScrollTo, &CWaveWnd::Last, 4990},   // a jump lands at once...
        {97000, &CWaveWnd::ScrollTo, &CWaveWnd::Last, 98000}, // ...but not past frames - page
    };
    for (const auto& c : cases) {
        auto strips = TenToOne(c.first);
        CWaveWnd* s = strips->left;
        (s->*c.scroll)((s->*c.step)());
        EXPECT_EQ(s->First(), c.expected) << c.first << " -> " << c.expected;
    }
}

// The shifted pixels plus the band drawn anew look exactly like a strip drawn from scratch.
TEST(Strip, AScrolledPictureMatchesAFreshOneInEveryStyle) {
    for (CStripStyle style : kStyles) {
        auto scrolled = TenToOne(96000); // the steps reach the end of the data
        auto fresh = TenToOne();
        scrolled->left->SetStyle(style);
        CWaveWnd* s = scrolled->left;
        for (auto [scroll, step] : {std::pair{&CWaveWnd::ScrollRight, &CWaveWnd::Line},
                                    {&CWaveWnd::ScrollRight, &CWaveWnd::Page},
                                    {&CWaveWnd::ScrollLeft, &CWaveWnd::Line},
                                    {&CWaveWnd::ScrollRight, &CWaveWnd::Line}}) {
            (s->*scroll)((s->*step)());
            fresh->Zoom(s->First(), s->First() + 3599);
            fresh->left->SetStyle(style);
            EXPECT_TRUE(Shot(s) == Shot(fresh->left)) << int(style) << " at " << s->First();
        }
    }
}

// ----- Mouse ---------------------------------------------------------------------------------

TEST(StripMouse, AClickPutsTheCursorInBothChannelsOnTheFrameOrTheLastOne) {
    const struct {
        quint32 frames;
        int x;
        quint32 cursor;
    } cases[] = {{100000, 37, 370}, {100, 300, 99}}; // N = 10; N = 1, right of the data
    for (const auto& c : cases) {
        CStrips strips(SampleLayout::Stereo8, Silence(SampleLayout::Stereo8, c.frames));
        strips.Zoom(0, std::min(c.frames, 3600u) - 1);
        QSignalSpy reported(strips.left, &CWaveWnd::cursorReported);
        QTest::mouseClick(strips.left, Qt::LeftButton, Qt::NoModifier, QPoint(c.x, 10));
        for (CWaveWnd* s : {strips.left, strips.right})
            EXPECT_TRUE(s->InCursorMode() && !s->HasSelection() && s->CursorPosition() == c.cursor)
                << c.frames << " " << s->CursorPosition();
        ASSERT_FALSE(reported.isEmpty());
        EXPECT_EQ(reported.last().at(0).toUInt(), c.cursor);
    }
}

TEST(StripMouse, DragSelectsInBothChannelsAndCtrlDragInOneOnly) {
    auto strips = TenToOne();
    Drag(strips->left, 50, 20);
    for (CWaveWnd* s : {strips->left, strips->right})
        EXPECT_TRUE(s->HasSelection() && s->SelectionStart() == 200 && s->SelectionEnd() == 500);
    Drag(strips->right, 10, 30, Qt::ControlModifier);
    EXPECT_EQ(strips->right->SelectionStart(), 100u);
    EXPECT_EQ(strips->right->SelectionEnd(), 300u);
    EXPECT_FALSE(strips->left->HasSelection() || strips->left->InCursorMode());
}

TEST(StripMouse, DoubleClickSelectsAllAndCtrlLeavesThePartnerEmpty) {
    auto strips = TenToOne();
    DoubleClick(strips->left);
    for (CWaveWnd* s : {strips->left, strips->right})
        EXPECT_TRUE(s->HasSelection() && s->SelectionStart() == 0 && s->SelectionEnd() == 99999);
    DoubleClick(strips->right, Qt::ControlModifier);
    EXPECT_TRUE(strips->right->HasSelection());
    EXPECT_FALSE(strips->left->HasSelection() || strips->left->InCursorMode());
}

TEST(StripMouse, DraggingPastAnEdgeScrollsBothStripsALine) {
    auto strips = TenToOne(5000);
    QSignalSpy asked(strips->left, &CWaveWnd::scrollRequested);
    QTest::mousePress(strips->left, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseMove(strips->left, QPoint(-5, 10));
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(asked.at(0).at(0).toInt(), -1);
    EXPECT_EQ(strips->right->First(), 4500u);
    EXPECT_TRUE(strips->right->SelectionStart() == 4500 && strips->right->SelectionEnd() == 5100);
    QTest::mouseMove(strips->left, QPoint(kWidth + 20, 10));
    ASSERT_EQ(asked.count(), 2);
    EXPECT_EQ(asked.at(1).at(0).toInt(), 1);
    EXPECT_EQ(strips->left->First(), 5000u);
    EXPECT_EQ(strips->left->SelectionEnd(), 5000u + (kWidth + 20) * 10);
}

TEST(StripMouse, TheRightButtonAsksForZoomAndAnEmptySampleIgnoresTheMouse) {
    auto strips = TenToOne();
    CSampleBuffer empty;
    CWaveWnd strip(0);
    strip.SetRange(&empty, nullptr, 0, 0);
    for (CWaveWnd* s : {strips->left, &strip}) {
        QSignalSpy zoom(s, &CWaveWnd::zoomRequested);
        QTest::mouseClick(s, Qt::RightButton, Qt::NoModifier, QPoint(5, 10));
        DoubleClick(s);
        EXPECT_EQ(zoom.count(), s == &strip ? 0 : 1);
        EXPECT_EQ(s->HasSelection(), s != &strip);
    }
}

// ----- Pixels --------------------------------------------------------------------------------

// Silence lies at v = 128, i.e. on row H / 2, in every style.
TEST(StripPixels, SilenceIsOneLineAcrossTheMiddle) {
    CStrips strips(SampleLayout::Mono16, Silence(SampleLayout::Mono16, kWidth * 3));
    for (CStripStyle style : kStyles) {
        strips.left->SetStyle(style);
        const QImage image = Shot(strips.left);
        for (int x = 0; x < kWidth; ++x)
            for (int y = 0; y < kHeight; ++y)
                ASSERT_EQ(image.pixel(x, y), y == kHeight / 2 ? kBlack : kWhite)
                    << int(style) << " at " << x << "," << y;
    }
}

TEST(StripPixels, TheAreaPastTheDataIsHatched) {
    const int width = 203;
    CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, 50), width);
    const QImage image = Shot(strips.left);
    const quint8 rows[8] = {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF};
    const int origin = 8 - (width - 50 + 2) % 8;
    EXPECT_TRUE(image.pixel(49, kHeight / 2) == kBlack && image.pixel(49, 0) == kWhite);
    for (int y = 0; y < kHeight; ++y) {
        ASSERT_EQ(image.pixel(50, y), kBlack) << y;
        for (int x = 51; x < width; ++x)
            ASSERT_EQ(image.pixel(x, y),
                      (rows[y % 8] >> (7 - (x - origin) % 8)) & 1 ? kWhite : kBlack)
                << x << "," << y;
    }
}

TEST(StripPixels, PeaksShowAOneFrameSpikeThatLinesMissAndJoinSteepSlopes) {
    Values values = Silence(SampleLayout::Mono16, kWidth * 500);
    values[12345] = 32767;
    for (int i = 0; i < kWidth; ++i)
        values[i] = i % 2 ? 30000 : -30000;
    CStrips strips(SampleLayout::Mono16, values);
    EXPECT_EQ(Shot(strips.left).pixel(12345 / 500, kHeight - 1), kBlack);
    strips.Zoom(0, kWidth / 2 - 1); // N = 1: the columns alternate between rows 4 and 95
    const QImage image = Shot(strips.left);
    for (int x = 1; x < kWidth; ++x)
        for (int y = 4; y <= 95; ++y)
            ASSERT_EQ(image.pixel(x, y), kBlack) << x << "," << y;
    strips.Zoom(0, kWidth * 500 - 1);
    strips.left->SetStyle(CStripStyle::Lines);
    EXPECT_EQ(Shot(strips.left).pixel(12345 / 500, kHeight - 1), kWhite);
}

TEST(StripPixels, SelectionCursorAndPlayMarkerInvertWhatTheyCover) {
    CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, kWidth));
    CWaveWnd* s = strips.left;
    s->SetSelection(10, 20);
    QImage image = Shot(s);
    for (int x = 8; x <= 21; ++x) {
        const bool inside = x >= 9 && x <= 20; // from the column before the start
        EXPECT_EQ(image.pixel(x, 0), inside ? kBlack : kWhite) << x;
        EXPECT_EQ(image.pixel(x, kHeight / 2), inside ? kWhite : kBlack) << x;
    }
    s->SetCursor(15);
    s->ShowPlayMarker(30);
    s->ShowPlayMarker(40);
    image = Shot(s);
    EXPECT_TRUE(image.pixel(15, 0) == kBlack && image.pixel(10, 0) == kWhite);
    EXPECT_EQ(image.pixel(30, 0), kWhite);
    EXPECT_EQ(image.pixel(40, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(40, kHeight / 2), qRgb(0, 255, 255));
}

// The caret blinks at half the desktop's flash time and stays when the desktop says no blink.
TEST(StripPixels, TheCursorBlinksUnlessTheDesktopSaysNot) {
    const int saved = QApplication::cursorFlashTime();
    for (int flash : {100, 0}) {
        QApplication::setCursorFlashTime(flash);
        CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, kWidth));
        strips.left->SetCursor(15);
        bool vanished = false;
        QElapsedTimer clock;
        for (clock.start(); !vanished && clock.elapsed() < 1000;) {
            QTest::qWait(20);
            vanished = Shot(strips.left).pixel(15, 0) == kWhite;
        }
        EXPECT_EQ(vanished, flash > 0) << flash;
    }
    QApplication::setCursorFlashTime(saved);
}

TEST(Strip, ShorterDataClampsTheSelectionAndHatchesTheNewEnd) {
    CStrips strips(SampleLayout::Mono8, Silence(SampleLayout::Mono8, kWidth));
    CWaveWnd* s = strips.left;
    s->SetSelection(50, 90);
    strips.buffer.DeleteFrames(60, kWidth - 1, 0);
    strips.summary.Update(strips.buffer, 60, kWidth);
    s->DataChanged(60);
    EXPECT_EQ(s->SelectionEnd(), 59u);
    s->ClearSelectionAndCursor();
    EXPECT_TRUE(Shot(s).pixel(60, 0) == kBlack && Shot(s).pixel(59, 0) == kWhite);
}

TEST(Strip, LosingTheFocusHidesTheMarksUntilItReturns) {
    auto strips = TenToOne();
    strips->left->SetSelection(100, 200);
    strips->left->HideMarks();
    EXPECT_FALSE(strips->left->HasSelection());
    strips->left->RestoreMarks();
    EXPECT_TRUE(strips->left->HasSelection() && strips->left->SelectionEnd() == 200);
}

// ----- Ruler ---------------------------------------------------------------------------------

TEST(Ruler, LabelIntervalIsTheSmallestThatLeavesRoomForALabel) {
    const struct {
        double perPixel;
        int labelWidth;
        quint32 interval;
    } cases[] = {{1, 32, 50},    {1, 50, 50},  {1, 51, 100},     {10, 48, 500},     {100, 56, 7500},
                 {2.5, 40, 100}, {0.5, 8, 50}, {300, 64, 20000}, {1000, 56, 75000}, {1000, 80, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(CRulerWnd::LabelInterval(c.perPixel, c.labelWidth), c.interval)
            << c.perPixel << " " << c.labelWidth;
}

TEST(Ruler, TicksStandAtEveryLabel) {
    CRulerWnd ruler;
    ruler.resize(kWidth, 27);
    ruler.SetScale(20, 1); // "419 " is 32 pixels wide: interval 50, first label 50 at x = 30
    const QImage image = ruler.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPalette palette = ruler.palette();
    for (int tick = 30; tick < kWidth - 2; tick += 50) {
        EXPECT_EQ(image.pixel(tick, 15), palette.color(QPalette::Dark).rgb()) << tick;
        EXPECT_EQ(image.pixel(tick + 1, 15), palette.color(QPalette::Light).rgb()) << tick;
        for (int x : {tick - 10, tick + 2})
            EXPECT_EQ(image.pixel(x, 15), palette.color(QPalette::Button).rgb()) << x;
    }
}

// ----- The view's frames ---------------------------------------------------------------------

// Each strip sits in a sunken edge two pixels deep on every side: shadow then black above and
// to the left, light then button face below and to the right, none of it a pixel away.
TEST(ViewPixels, EachStripIsFramedTightlyOnAllFourSides) {
    for (SampleLayout layout : {SampleLayout::Mono16, SampleLayout::Stereo16}) {
        CWlproDoc doc(QStringLiteral("Wlpro1"));
        FillSample(doc.Buffer(), layout, 22050, Silence(layout, 1000));
        doc.SampleEdited(0);
        CWlproView view(&doc);
        view.resize(kWidth, 300);
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPalette palette = view.palette();
        const QRgb shadow = palette.color(QPalette::Dark).rgb();
        const QRgb light = palette.color(QPalette::Light).rgb();
        const QRgb face = palette.color(QPalette::Button).rgb();
        for (int index = 0; index < (LayoutIsStereo(layout) ? 2 : 1); ++index) {
            const QRect g = view.Strip(index)->geometry();
            const int x = g.center().x();
            const int y = g.center().y();
            const struct {
                QPoint inner;
                QPoint outer;
                QRgb innerColour;
                QRgb outerColour;
                const char* side;
            } sides[] = {
                {{x, g.top() - 1}, {x, g.top() - 2}, kBlack, shadow, "top"},
                {{g.left() - 1, y}, {g.left() - 2, y}, kBlack, shadow, "left"},
                {{g.right() + 1, y}, {g.right() + 2, y}, face, light, "right"},
                {{x, g.bottom() + 1}, {x, g.bottom() + 2}, face, light, "bottom"},
            };
            for (const auto& side : sides) {
                EXPECT_EQ(image.pixel(side.inner), side.innerColour) << side.side << " " << index;
                EXPECT_EQ(image.pixel(side.outer), side.outerColour) << side.side << " " << index;
            }
        }
    }
}

// ----- Spectrum ------------------------------------------------------------------------------

// Bounds a hang only; the waits end as soon as the columns are in.
constexpr int kSpectrumDeadlineMs = 20000;

bool SpectrumSettled(CWaveWnd* strip) {
    return QTest::qWaitFor([strip] { return !strip->SpectrumCache()->Busy(); },
                           kSpectrumDeadlineMs);
}

double Luma(QRgb c) {
    return 0.2126 * qRed(c) + 0.7152 * qGreen(c) + 0.0722 * qBlue(c);
}

// A grey placeholder fills the strip until the workers deliver; then every column of a tone is
// brightest on the tone's row, and a silent channel is black.
TEST(StripSpectrum, ATonesRowLightsUpInEveryColumnOnceTheColumnsArrive) {
    constexpr quint32 kRate = 22050;
    constexpr int kRow = 30; // from the bottom
    const double hertz = (kRow + 0.5) * (kRate / 2.0) / kHeight;
    Values values = Silence(SampleLayout::Stereo16, kWidth * 50);
    for (std::size_t i = 0; i < values.size(); i += 2)
        values[i] = int(std::lround(30000 * std::sin(2 * M_PI * hertz * double(i / 2) / kRate)));
    CStrips strips(SampleLayout::Stereo16, values);
    for (CWaveWnd* s : {strips.left, strips.right})
        s->SetStyle(CStripStyle::Spectrum);
    const QImage pending = Shot(strips.left);
    for (int x = 0; x < kWidth; x += 7)
        for (int y = 0; y < kHeight; y += 3)
            ASSERT_EQ(pending.pixel(x, y), pending.pixel(0, 0)) << x << "," << y;
    EXPECT_NE(pending.pixel(0, 0), kBlack);

    ASSERT_TRUE(SpectrumSettled(strips.left) && SpectrumSettled(strips.right));
    const QImage left = Shot(strips.left);
    for (int x = 0; x < kWidth; ++x) {
        int brightest = 0;
        for (int y = 1; y < kHeight; ++y)
            if (Luma(left.pixel(x, y)) > Luma(left.pixel(x, brightest)))
                brightest = y;
        ASSERT_EQ(brightest, kHeight - 1 - kRow) << "column " << x;
    }
    const QImage right = Shot(strips.right);
    for (int x = 0; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            ASSERT_EQ(right.pixel(x, y), kBlack) << x << "," << y;
}

// Scrolling by a line computes only the columns that came into view, scrolling back none; the
// picture is the one a strip opened there shows.
TEST(StripSpectrum, ScrollingReusesTheColumnsItHas) {
    auto strips = TenToOne();
    CWaveWnd* s = strips->left;
    s->SetStyle(CStripStyle::Spectrum);
    ASSERT_TRUE(SpectrumSettled(s));
    EXPECT_EQ(s->SpectrumCache()->Computed(), quint64(kWidth));
    s->ScrollRight(s->Line());
    ASSERT_TRUE(SpectrumSettled(s));
    EXPECT_EQ(s->SpectrumCache()->Computed(), quint64(kWidth + kWidth / 8));
    s->ScrollLeft(s->Line());
    ASSERT_TRUE(SpectrumSettled(s));
    EXPECT_EQ(s->SpectrumCache()->Computed(), quint64(kWidth + kWidth / 8));
    // After a page (as far as the rule lets it go), each column shown from frame 0 to the end of
    // this view was computed once.
    s->ScrollRight(s->Page());
    ASSERT_TRUE(SpectrumSettled(s));
    EXPECT_EQ(s->SpectrumCache()->Computed(), quint64(kWidth + s->First() / s->Scale()));
    EXPECT_GT(s->First(), quint32(kWidth / 8 * s->Scale()));

    auto fresh = TenToOne(s->First());
    fresh->left->SetStyle(CStripStyle::Spectrum);
    ASSERT_TRUE(SpectrumSettled(fresh->left));
    EXPECT_TRUE(Shot(s) == Shot(fresh->left));
}

// An edit shows: the columns over frames that changed are computed again, the others kept.
TEST(StripSpectrum, AnEditRedrawsTheColumnsItChanged) {
    auto strips = TenToOne();
    CWaveWnd* s = strips->left;
    s->SetStyle(CStripStyle::Spectrum);
    ASSERT_TRUE(SpectrumSettled(s));
    // Frames 2000 on (column 200 on) fall silent.
    quint8* data = strips->buffer.GetData();
    std::fill(data + 2000 * 4, data + strips->buffer.GetByteLength(), 0);
    s->DataChanged(2000);
    ASSERT_TRUE(SpectrumSettled(s));
    // The columns from 200 on, and the ones before whose window of 512 frames reaches 2000.
    EXPECT_EQ(s->SpectrumCache()->Computed(), quint64(kWidth + 200 + 26));
    const QImage image = Shot(s);
    EXPECT_NE(image.pixel(150, kHeight / 2), kBlack);
    for (int x = 230; x < kWidth; ++x)
        for (int y = 0; y < kHeight; ++y)
            ASSERT_EQ(image.pixel(x, y), kBlack) << x << "," << y;
}

} // namespace
