// The digital display: the text rule of its fields, their places, fonts and clicks, the 3-D frame
// and the bevel routines.

#include "core/displayfields.h"
#include "ui/3dframe.h"
#include "ui/bevel.h"
#include "ui/colorstatic.h"
#include "ui/displaypanel.h"
#include "ui/ledstatic.h"
#include "ui/screenunits.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TCountingStatic : public TLedStatic {
public:
    using TLedStatic::TLedStatic;
    int Paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++Paints;
        TLedStatic::paintEvent(event);
    }
};

// Records the mouse presses and double clicks that reach it from its children.
class TClickRecorder : public QWidget {
public:
    QList<Qt::MouseButton> Presses;
    QList<QPoint> PressPositions;
    int DoubleClicks = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        Presses << event->button();
        PressPositions << event->position().toPoint();
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { ++DoubleClicks; }
};

// Colours as the screen holds them, 8 bits a channel.
QRgb Rgb(const QColor& color) {
    return color.rgb();
}

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool AllPixels(const QImage& image, QColor color) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != color)
                return false;
    return true;
}

} // namespace

struct TTextRuleCase {
    int limit;
    const char* text;
    const char* shown;
};

class TextRule : public ::testing::TestWithParam<TTextRuleCase> {};

TEST_P(TextRule, KeepsTheLastCharactersUpToTheLimit) {
    const TTextRuleCase& c = GetParam();
    TLedStatic field(nullptr, 1, TColorStatic::FormatLeft, c.limit);
    field.SetText(QString::fromLatin1(c.text));
    EXPECT_EQ(field.Text(), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, TextRule,
    ::testing::Values(TTextRuleCase{5, "12:34", "12:34"}, TTextRuleCase{5, "100:00", "00:00"},
                      TTextRuleCase{5, "1234:56", "34:56"}, TTextRuleCase{2, "123", "23"},
                      TTextRuleCase{2, "7", "7"}, TTextRuleCase{0, "anything", ""},
                      TTextRuleCase{10, "RANDOM", "RANDOM"}));

class ColorStaticPaint : public ::testing::Test {
protected:
    void SetUp() override {
        field.resize(80, 30);
        field.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&field));
        QCoreApplication::processEvents();
        field.Paints = 0;
    }
    // Lets every pending repaint happen.
    void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QTest::qWait(5);
        }
    }
    TCountingStatic field{nullptr, 7732, TColorStatic::FormatLeft, 5};
};

TEST_F(ColorStaticPaint, SameTextTwiceRepaintsOnce) {
    field.SetText(QStringLiteral("01:23"));
    Settle();
    field.SetText(QStringLiteral("01:23"));
    Settle();
    EXPECT_EQ(field.Paints, 1);
    field.SetText(QStringLiteral("01:24"));
    Settle();
    EXPECT_EQ(field.Paints, 2);
}

TEST_F(ColorStaticPaint, EmptyTextErasesTheField) {
    field.SetText(QStringLiteral("88:88"));
    Settle();
    ASSERT_FALSE(AllPixels(Grab(&field), Qt::black));
    const int paintsBefore = field.Paints;
    field.SetText(QString());
    Settle();
    EXPECT_TRUE(field.Text().isEmpty());
    EXPECT_EQ(field.Paints, paintsBefore + 1);
    EXPECT_TRUE(AllPixels(Grab(&field), Qt::black));
}

TEST_F(ColorStaticPaint, BackgroundRepaintsOnlyWhenItChanges) {
    field.SetBkColor(Qt::black);
    field.SetTextColor(Qt::red);
    field.SetFormat(TColorStatic::FormatRight);
    Settle();
    EXPECT_EQ(field.Paints, 0);
    field.SetBkColor(Qt::darkBlue);
    Settle();
    EXPECT_EQ(field.Paints, 1);
    EXPECT_TRUE(AllPixels(Grab(&field), QColor(Qt::darkBlue)));
}

TEST(ColorStatic, FormatKeepsOnlyItsLowSixteenBits) {
    TLedStatic field(nullptr, 1, TColorStatic::FormatLeft, 5);
    field.SetFormat(0x12345);
    EXPECT_EQ(field.Format(), 0x2345);
    EXPECT_EQ(TColorStatic::ClassName(), QStringLiteral("ColorStatic"));
}

class DisplayPanel : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(400, 200);
        panel = new TDisplayPanel(&window);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    TClickRecorder window;
    TDisplayPanel* panel = nullptr;
};

TEST_F(DisplayPanel, AHundredMinuteSongShowsFiveCharacters) {
    panel->SetFieldText(TDisplayPanel::IdLength, FormatTime(100 * 60 + 7));
    panel->SetFieldText(TDisplayPanel::IdTime, FormatTime(123 * 60));
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdLength), QStringLiteral("00:07"));
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdTime), QStringLiteral("23:00"));
    panel->SetFieldText(TDisplayPanel::IdTotal, FormatCount(123));
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdTotal), QStringLiteral("23"));
}

TEST_F(DisplayPanel, StartsWithTheTemplateTexts) {
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdTotal), QStringLiteral("00"));
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdLabelMinSec),
              QStringLiteral("MIN") + QString(19, QLatin1Char(' ')) + QStringLiteral("SEC"));
    EXPECT_EQ(panel->FieldText(TDisplayPanel::IdLabelTrack), QStringLiteral("TRACK"));
    EXPECT_TRUE(panel->FieldText(TDisplayPanel::IdTime).isEmpty());
    for (int id : {TDisplayPanel::IdPlay, TDisplayPanel::IdPause, TDisplayPanel::IdRepeat,
                   TDisplayPanel::IdMute, TDisplayPanel::IdLoop, TDisplayPanel::IdRandom})
        EXPECT_FALSE(panel->IsStatusWordLit(id)) << id;
}

TEST_F(DisplayPanel, StatusWordsLightAndGoOut) {
    const QList<QPair<int, QString>> words{
        {TDisplayPanel::IdPlay, "PLAY"},     {TDisplayPanel::IdPause, "PAUSE"},
        {TDisplayPanel::IdRepeat, "REPEAT"}, {TDisplayPanel::IdMute, "MUTE"},
        {TDisplayPanel::IdLoop, "LOOP"},     {TDisplayPanel::IdRandom, "RANDOM"}};
    for (const auto& [id, word] : words) {
        panel->SetStatusWord(id, true);
        EXPECT_EQ(panel->FieldText(id), word);
        panel->SetStatusWord(id, false);
        EXPECT_FALSE(panel->IsStatusWordLit(id));
    }
    // A word never lands in a field that is not a status word.
    panel->SetStatusWord(TDisplayPanel::IdTime, true);
    EXPECT_TRUE(panel->FieldText(TDisplayPanel::IdTime).isEmpty());
}

TEST_F(DisplayPanel, LabelsAndDigitsGetTheirFonts) {
    const QFont led = panel->Field(TDisplayPanel::IdTime)->GetFont();
    EXPECT_EQ(led.families().value(0), QStringLiteral("TRX-Digital"));
    EXPECT_EQ(led.pixelSize(), MulDiv(17, ScreenDpiY(panel), 72));
    for (int id : {TDisplayPanel::IdLength, TDisplayPanel::IdTrack, TDisplayPanel::IdTotal})
        EXPECT_EQ(panel->Field(id)->GetFont(), led) << id;
    const QFont label = panel->Field(TDisplayPanel::IdPlay)->GetFont();
    EXPECT_EQ(label.pixelSize(), MulDiv(5, ScreenDpiY(panel), 72));
    EXPECT_FALSE(panel->Field(TDisplayPanel::IdBackground)->HasFont());
}

TEST_F(DisplayPanel, FieldsStandInsideTheBlackPanelWithinTheReference) {
    const QRect back = panel->BackgroundRect();
    EXPECT_TRUE(QRect(QPoint(0, 0), panel->ReferenceSize()).contains(back));
    for (TColorStatic* field : panel->Fields()) {
        if (field->Id() != TDisplayPanel::IdBackground) {
            EXPECT_TRUE(back.contains(field->geometry())) << field->Id();
        }
    }
    // The frame lies 2 pixels around the black panel.
    EXPECT_EQ(panel->Frame()->geometry(), back.adjusted(-2, -2, 2, 2));
}

TEST_F(DisplayPanel, RightClickOnAnyFieldReachesTheWindow) {
    int expected = 0;
    for (TColorStatic* field : panel->Fields()) {
        const QPoint inField = field->rect().center();
        QTest::mouseClick(field, Qt::RightButton, Qt::NoModifier, inField);
        ++expected;
        ASSERT_EQ(window.Presses.size(), expected) << field->Id();
        EXPECT_EQ(window.Presses.last(), Qt::RightButton);
        EXPECT_EQ(window.PressPositions.last(), field->mapTo(&window, inField));
    }
    // So does a click on the frame's band around the panel.
    const QPoint onBand = panel->Frame()->geometry().topLeft() + QPoint(1, 10);
    QTest::mouseClick(panel, Qt::RightButton, Qt::NoModifier, onBand);
    EXPECT_EQ(window.Presses.size(), expected + 1);
    QTest::mouseDClick(panel->Field(TDisplayPanel::IdTime), Qt::LeftButton);
    EXPECT_EQ(window.DoubleClicks, 1);
}

namespace {

// Starts and ends of the column runs that hold cyan ink within `area` of the image.
QList<QPair<int, int>> InkRuns(const QImage& image, const QRect& area) {
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int x = area.left(); x <= area.right() + 1; ++x) {
        bool ink = false;
        for (int y = area.top(); x <= area.right() && y <= area.bottom() && !ink; ++y)
            ink = qBlue(image.pixel(x, y)) > 128 && qRed(image.pixel(x, y)) < 100;
        if (ink && start < 0)
            start = x;
        if (!ink && start >= 0) {
            runs << qMakePair(start, x - 1);
            start = -1;
        }
    }
    return runs;
}

} // namespace

TEST_F(DisplayPanel, MinAndSecStandOverTheirDigits) {
    panel->SetFieldText(TDisplayPanel::IdTime, QStringLiteral("00:00"));
    const QImage image = Grab(panel);
    const QRect digits = panel->Field(TDisplayPanel::IdTime)->geometry();
    const QRect label = panel->Field(TDisplayPanel::IdLabelMinSec)->geometry();
    const QList<QPair<int, int>> digitRuns = InkRuns(image, digits);
    ASSERT_EQ(digitRuns.size(), 5); // 0 0 : 0 0
    // Up to the next label, in case the text runs past its own box.
    const int nextLabel = panel->Field(TDisplayPanel::IdLabelLength)->x();
    const QList<QPair<int, int>> labelRuns =
        InkRuns(image, label.adjusted(0, 0, nextLabel - 2 - label.right(), 0));
    ASSERT_GE(labelRuns.size(), 2);
    // "SEC" begins after the widest gap of the label.
    int gapAfter = 0;
    for (int i = 1; i < labelRuns.size(); ++i)
        if (labelRuns[i].first - labelRuns[i - 1].second >
            labelRuns[gapAfter + 1].first - labelRuns[gapAfter].second)
            gapAfter = i - 1;
    const int minStart = labelRuns.first().first;
    const int secStart = labelRuns[gapAfter + 1].first;
    EXPECT_NEAR(minStart, digitRuns[0].first, 4);
    EXPECT_NEAR(secStart, digitRuns[3].first, 4);
    // And all of "SEC" is drawn inside the display's black panel.
    EXPECT_LT(labelRuns.last().second, panel->BackgroundRect().right());
}

struct TUnitsCase {
    QRect units;
    QRect pixels;
};

class DialogUnits : public ::testing::TestWithParam<TUnitsCase> {};

TEST_P(DialogUnits, ConvertAt96Dpi) {
    EXPECT_EQ(DialogUnitsToPixels(GetParam().units, DialogBaseUnits(96)), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Template, DialogUnits,
                         ::testing::Values(TUnitsCase{{0, 0, 185, 52}, {0, 0, 278, 85}},
                                           TUnitsCase{{19, 18, 36, 16}, {29, 29, 54, 26}},
                                           TUnitsCase{{9, 11, 166, 30}, {14, 18, 249, 49}},
                                           TUnitsCase{{143, 13, 20, 5}, {215, 21, 30, 8}},
                                           TUnitsCase{{1, 1, 1, 1}, {2, 2, 1, 1}}));

class ThreeDFrame : public ::testing::TestWithParam<bool> {};

TEST_P(ThreeDFrame, CoversTheRectangleAndPaintsOnlyItsBands) {
    const bool sunken = GetParam();
    QWidget parent;
    parent.resize(100, 60);
    QRect rect(10, 10, 40, 30);
    T3DFrame* frame = T3DFrame::Create(&parent, rect, sunken, 2);
    EXPECT_EQ(frame->geometry(), QRect(10, 10, 40, 30));
    EXPECT_EQ(rect, sunken ? QRect(11, 11, 38, 28) : QRect(10, 10, 40, 30));

    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    frame->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const QColor shadow = frame->palette().color(QPalette::Dark);
    const QColor light = frame->palette().color(QPalette::Light);
    EXPECT_EQ(image.pixel(5, 0), Rgb(sunken ? shadow : light));
    EXPECT_EQ(image.pixel(1, 15), Rgb(sunken ? shadow : light));
    EXPECT_EQ(image.pixel(20, 29), Rgb(sunken ? light : shadow));
    EXPECT_EQ(image.pixel(39, 15), Rgb(sunken ? light : shadow));
    EXPECT_EQ(image.pixel(20, 15), Rgb(QColor(Qt::magenta)));
    EXPECT_EQ(image.pixel(0, 29), Rgb(sunken ? shadow : light));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ThreeDFrame, ::testing::Bool());

TEST(Bevel, RoundedOutlineLeavesTheCornersOut) {
    QImage image(10, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setPen(Qt::black);
        DrawRoundedOutline(painter, QRect(0, 0, 10, 8));
    }
    for (QPoint corner : {QPoint(0, 0), QPoint(9, 0), QPoint(0, 7), QPoint(9, 7)})
        EXPECT_EQ(image.pixel(corner), Rgb(QColor(Qt::white))) << corner.x() << corner.y();
    for (QPoint edge :
         {QPoint(1, 0), QPoint(8, 0), QPoint(0, 1), QPoint(0, 6), QPoint(9, 3), QPoint(5, 7)})
        EXPECT_EQ(image.pixel(edge), Rgb(QColor(Qt::black))) << edge.x() << edge.y();
    EXPECT_EQ(image.pixel(4, 4), Rgb(QColor(Qt::white)));
}

class RingBevel : public ::testing::TestWithParam<int> {};

TEST_P(RingBevel, ShadesTheRingAndReturnsTheInside) {
    const int flags = GetParam();
    const bool raised = flags & BevelRaised;
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QRect inner;
    {
        QPainter painter(&image);
        inner = DrawRingBevel(painter, QRect(0, 0, 40, 40), 4, flags, Qt::darkGray, Qt::white);
    }
    EXPECT_EQ(inner, QRect(4, 4, 32, 32));
    const QColor upper = raised ? QColor(Qt::white) : QColor(Qt::darkGray);
    const QColor lower = raised ? QColor(Qt::darkGray) : QColor(Qt::white);
    EXPECT_EQ(image.pixel(20, 1), Rgb(upper));
    EXPECT_EQ(image.pixel(1, 20), Rgb(upper));
    EXPECT_EQ(image.pixel(20, 38), Rgb(lower));
    EXPECT_EQ(image.pixel(38, 20), Rgb(lower));
    EXPECT_EQ(image.pixel(20, 20), Rgb(QColor(Qt::magenta)));
    // A round ring leaves the corners outside its ellipse untouched.
    EXPECT_EQ(image.pixel(0, 0), Rgb((flags & BevelRound) ? QColor(Qt::magenta) : upper));
}

INSTANTIATE_TEST_SUITE_P(Flags, RingBevel,
                         ::testing::Values(0, int(BevelRaised), int(BevelRound),
                                           int(BevelRound | BevelRaised)));

TEST(Bevel, BandIsCutToHalfTheSmallerSide) {
    QImage image(20, 6, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    const QRect inner = DrawRingBevel(painter, QRect(0, 0, 20, 6), 10, 0, Qt::black, Qt::white);
    EXPECT_EQ(inner, QRect(3, 3, 14, 0));
    const QRect round = DrawRoundRingBevel(painter, QRect(0, 0, 20, 6), 2, 0, Qt::black, Qt::white);
    EXPECT_EQ(round.size(), QSize(2, 2));
}
