// The bars: their gadgets and commands, the artwork, hints, the repeating fast-wind buttons, the
// separator and the status bar.

#include "core/commandids.h"
#include "ui/buttongadget.h"
#include "ui/commandhints.h"
#include "ui/dblrepbuttongadget.h"
#include "ui/hseparator.h"
#include "ui/listbar.h"
#include "ui/mstatusbar.h"
#include "ui/mtoolbar.h"
#include "ui/posbar.h"
#include "ui/soundbar.h"
#include "ui/volbar.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QList<int> CommandsOf(const TMControlBar& bar) {
    QList<int> commands;
    for (QWidget* gadget : bar.Gadgets())
        if (auto* button = qobject_cast<TButtonGadget*>(gadget))
            commands << button->CommandId();
    return commands;
}

int Count(const QSignalSpy& spy, int command) {
    int n = 0;
    for (const QList<QVariant>& args : spy)
        n += args.at(0).toInt() == command;
    return n;
}

class TPressRecorder : public QWidget {
public:
    QList<Qt::MouseButton> Presses;

protected:
    void mousePressEvent(QMouseEvent* event) override { Presses << event->button(); }
};

} // namespace

TEST(Bars, ButtonBarSendsItsCommandsInOrder) {
    TMToolBar bar(nullptr);
    EXPECT_EQ(bar.WindowId(), CmButtons);
    EXPECT_EQ(CommandsOf(bar),
              (QList<int>{CmPlayButton, CmPause, CmStop, CmEjectRetract, CmCirculate, CmRepeat,
                          CmSongEdit, CmSongAdd, CmSongRemove}));
    EXPECT_EQ(bar.Button(CmPlayButton)->ImageId(), CmPlay);
    EXPECT_EQ(bar.Button(CmEjectRetract)->ImageId(), CmEject);
    EXPECT_EQ(bar.Button(CmPause)->Kind(), TButtonGadget::Toggle);
    EXPECT_EQ(bar.Button(CmRepeat)->Kind(), TButtonGadget::Toggle);
    EXPECT_EQ(bar.Button(CmStop)->Kind(), TButtonGadget::Command);
    for (TButtonGadget* button : bar.Buttons()) {
        EXPECT_EQ(button->ImageSize(), 20);
        EXPECT_TRUE(button->SmoothEdges());
        EXPECT_TRUE(button->isEnabled());
        EXPECT_FALSE(button->isChecked());
    }
}

TEST(Bars, VolumeBarHoldsSliderWindButtonsAndMoves) {
    TVolBar bar(nullptr);
    EXPECT_EQ(bar.WindowId(), CmVolumeBar);
    EXPECT_EQ(CommandsOf(bar), (QList<int>{CmMute, CmFastRewindEnd, CmFastForwardEnd, CmMoveUp,
                                           CmMoveDown, CmHighlightCurrent}));
    const QList<QWidget*> gadgets = bar.Gadgets();
    // mute, separator, "Volume", slider, separator, two wind buttons, separator, three buttons
    ASSERT_EQ(gadgets.size(), 11);
    EXPECT_EQ(gadgets[1]->width(), 4);
    EXPECT_EQ(qobject_cast<QLabel*>(gadgets[2])->text(), QStringLiteral("Volume"));
    EXPECT_EQ(gadgets[3], bar.VolumeSlider());
    EXPECT_EQ(bar.VolumeSlider()->Id(), 7889);
    EXPECT_TRUE(bar.VolumeSlider()->isEnabled());
    auto* rewind = qobject_cast<TDblRepButtonGadget*>(bar.Button(CmFastRewindEnd));
    auto* forward = qobject_cast<TDblRepButtonGadget*>(bar.Button(CmFastForwardEnd));
    ASSERT_TRUE(rewind && forward);
    EXPECT_EQ(rewind->RepeatCommand(), CmFastRewindStep);
    EXPECT_EQ(forward->RepeatCommand(), CmFastForwardStep);
    for (TButtonGadget* button : bar.Buttons()) {
        EXPECT_EQ(button->ImageSize(), 16);
        EXPECT_FALSE(button->SmoothEdges());
    }
    EXPECT_EQ(bar.Button(CmMute)->Kind(), TButtonGadget::Toggle);
}

TEST(Bars, PositionAndQueueBars) {
    TPosBar positions(nullptr);
    EXPECT_EQ(positions.WindowId(), CmPositionSlider);
    EXPECT_EQ(positions.PositionSlider()->Id(), 7850);
    EXPECT_FALSE(positions.PositionSlider()->isEnabled());

    auto* queue = new QListWidget;
    TListBar list(nullptr, queue);
    EXPECT_EQ(list.WindowId(), CmQueueBox);
    EXPECT_EQ(list.Queue(), queue);
    EXPECT_EQ(queue->parent(), &list);
    EXPECT_EQ(queue->minimumSize(), QSize(200, 92));
    // The queue bar has ten more margin units above than the other bars.
    TMToolBar buttons(nullptr);
    EXPECT_EQ(list.layout()->contentsMargins().top(),
              buttons.layout()->contentsMargins().top() + 10);
    EXPECT_EQ(buttons.layout()->contentsMargins(),
              TMControlBar::DefaultMargins + TMControlBar2::ExtraMargins);
}

TEST(Bars, EveryButtonHasArtworkAndAHint) {
    TMToolBar buttons(nullptr);
    TVolBar volume(nullptr);
    for (TMControlBar* bar :
         {static_cast<TMControlBar*>(&buttons), static_cast<TMControlBar*>(&volume)}) {
        for (TButtonGadget* button : bar->Buttons()) {
            SCOPED_TRACE(button->CommandId());
            EXPECT_FALSE(CommandHint(button->CommandId()).isEmpty());
            ASSERT_FALSE(button->Image().isNull());
            // Drawn sharp at 1x and 2x: something opaque, and more detail at twice the size.
            for (int scale : {1, 2}) {
                const int side = button->ImageSize() * scale;
                const QImage image = button->Image()
                                         .pixmap(QSize(side, side))
                                         .toImage()
                                         .convertToFormat(QImage::Format_ARGB32);
                ASSERT_EQ(image.size(), QSize(side, side));
                int drawn = 0;
                for (int y = 0; y < side; ++y)
                    for (int x = 0; x < side; ++x)
                        drawn += qAlpha(image.pixel(x, y)) >= 128;
                EXPECT_GT(drawn, side * side / 20) << "scale " << scale;
            }
        }
    }
    EXPECT_FALSE(QIcon(QStringLiteral(":/korvo/korvo.svg")).isNull());
    EXPECT_FALSE(QIcon(QStringLiteral(":/korvo/rowmark.svg")).isNull());
}

TEST(Bars, ClicksSendCommandsAndTogglesLatch) {
    TMToolBar bar(nullptr);
    bar.show();
    QSignalSpy commands(&bar, &TMControlBar::commandPosted);
    QTest::mouseClick(bar.Button(CmStop), Qt::LeftButton);
    QTest::mouseClick(bar.Button(CmPause), Qt::LeftButton);
    EXPECT_TRUE(bar.Button(CmPause)->isChecked());
    QTest::mouseClick(bar.Button(CmPause), Qt::LeftButton);
    EXPECT_FALSE(bar.Button(CmPause)->isChecked());
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands[0][0].toInt(), CmStop);
    EXPECT_EQ(commands[1][0].toInt(), CmPause);
    EXPECT_EQ(commands[2][0].toInt(), CmPause);
}

TEST(Bars, PointerOverAButtonAsksForItsHint) {
    TVolBar bar(nullptr);
    QSignalSpy hints(&bar, &TMControlBar::hintRequested);
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(bar.Button(CmMoveUp), &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(bar.Button(CmMoveUp), &leave);
    ASSERT_EQ(hints.size(), 2);
    EXPECT_EQ(hints[0][0].toInt(), CmMoveUp);
    EXPECT_EQ(hints[1][0].toInt(), 0);
}

TEST(Bars, RightClicksReachTheWindow) {
    TPressRecorder window;
    auto* layout = new QVBoxLayout(&window);
    auto* volume = new TVolBar(&window);
    auto* positions = new TPosBar(&window);
    auto* separator = new THSeparator(&window, 1, 1, 4, THSeparator::Top);
    layout->addWidget(volume);
    layout->addWidget(positions);
    layout->addWidget(separator);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    positions->PositionSlider()->setEnabled(true);
    QTest::mouseClick(volume->VolumeSlider(), Qt::RightButton);
    QTest::mouseClick(positions->PositionSlider(), Qt::RightButton);
    QTest::mouseClick(volume, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseClick(separator, Qt::RightButton);
    EXPECT_EQ(window.Presses, (QList<Qt::MouseButton>(4, Qt::RightButton)));
}

TEST(Bars, SliderMovementsReachTheBarWithTheirId) {
    TVolBar bar(nullptr);
    QSignalSpy scrolls(&bar, &TMControlBar::hScroll);
    bar.VolumeSlider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ASSERT_EQ(scrolls.size(), 1);
    EXPECT_EQ(scrolls[0][0].toInt(), 7889);
    EXPECT_EQ(scrolls[0][1].toInt(), int(TSoundBar::PageRight));
    EXPECT_EQ(scrolls[0][2].toInt(), 1000);
}

// How long a loaded machine may take to deliver what the tests wait for; a check never depends
// on how much of that it takes.
constexpr int StepDeadlineMs = 20000;

class FastWind : public ::testing::Test {
protected:
    void SetUp() override {
        bar.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
        button = bar.Button(CmFastForwardEnd);
    }
    void Move(const QPoint& to) {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), button->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &move);
    }
    // Runs the event loop until `spy` holds `n` of `command`, or the deadline passes.
    static bool WaitForSteps(const QSignalSpy& spy, int command, int n) {
        QElapsedTimer clock;
        clock.start();
        while (Count(spy, command) < n && clock.elapsed() < StepDeadlineMs)
            QTest::qWait(10);
        return Count(spy, command) >= n;
    }
    // Runs the event loop for `ms` of real time.
    static void Hold(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QTest::qWait(10);
    }
    TVolBar bar{nullptr};
    TButtonGadget* button = nullptr;
};

// About ten steps a second (one every 100 ms, never faster) and exactly one release.
TEST_F(FastWind, HoldingSendsAStepEveryTenthOfASecondAndOneRelease) {
    auto* forward = static_cast<TDblRepButtonGadget*>(button);
    QSignalSpy commands(&bar, &TMControlBar::commandPosted);
    QElapsedTimer held;
    held.start();
    QTest::mousePress(button, Qt::LeftButton);
    EXPECT_TRUE(forward->IsRepeating());
    ASSERT_TRUE(WaitForSteps(commands, CmFastForwardStep, 10));
    // A load can only slow the steps down. A timer may be a millisecond early now and then, but
    // ten steps cannot come in under 0.9 s.
    EXPECT_GE(held.elapsed(), 900);
    QTest::mouseRelease(button, Qt::LeftButton);
    const int steps = Count(commands, CmFastForwardStep);
    EXPECT_EQ(Count(commands, CmFastForwardEnd), 1);
    EXPECT_EQ(commands.last()[0].toInt(), CmFastForwardEnd);
    EXPECT_FALSE(forward->IsRepeating());
    EXPECT_EQ(TDblRepButtonGadget::CurrentRepeatCommand(), CmFastForwardStep);
    // Released, the steps stop.
    Hold(350);
    EXPECT_EQ(Count(commands, CmFastForwardStep), steps);
    EXPECT_EQ(Count(commands, CmFastForwardEnd), 1);
    EXPECT_EQ(Count(commands, CmFastRewindStep) + Count(commands, CmFastRewindEnd), 0);
}

TEST_F(FastWind, DraggingOffPausesTheStepsAndReleaseIsStillSent) {
    QSignalSpy commands(&bar, &TMControlBar::commandPosted);
    QTest::mousePress(button, Qt::LeftButton);
    ASSERT_TRUE(WaitForSteps(commands, CmFastForwardStep, 2));
    const QPoint outside(button->width() + 40, button->height() + 40);
    Move(outside);
    const int stepsWhenLeaving = Count(commands, CmFastForwardStep);
    EXPECT_FALSE(static_cast<TDblRepButtonGadget*>(button)->IsRepeating());
    // Several periods off the button: not one step.
    Hold(400);
    EXPECT_EQ(Count(commands, CmFastForwardStep), stepsWhenLeaving);
    // Back over the button: the steps resume.
    Move(button->rect().center());
    EXPECT_TRUE(WaitForSteps(commands, CmFastForwardStep, stepsWhenLeaving + 1));
    Move(outside);
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_EQ(Count(commands, CmFastForwardEnd), 1);
    EXPECT_EQ(commands.last()[0].toInt(), CmFastForwardEnd);
    EXPECT_FALSE(button->isDown());
}

TEST_F(FastWind, RewindRepeatsItsOwnCommand) {
    QSignalSpy commands(&bar, &TMControlBar::commandPosted);
    TButtonGadget* rewind = bar.Button(CmFastRewindEnd);
    QTest::mousePress(rewind, Qt::LeftButton);
    EXPECT_TRUE(WaitForSteps(commands, CmFastRewindStep, 2));
    QTest::mouseRelease(rewind, Qt::LeftButton);
    EXPECT_EQ(Count(commands, CmFastRewindEnd), 1);
    EXPECT_EQ(Count(commands, CmFastForwardStep) + Count(commands, CmFastForwardEnd), 0);
}

struct TSeparatorCase {
    THSeparator::TPlacement placement;
    int height;
    int lineTop;
};

class Separator : public ::testing::TestWithParam<TSeparatorCase> {};

TEST_P(Separator, DrawsShadowThenHighlightAtItsPlace) {
    const TSeparatorCase& c = GetParam();
    THSeparator separator(nullptr, 2, 1, c.height, c.placement);
    separator.resize(30, separator.height());
    EXPECT_EQ(separator.LineTop(), c.lineTop);
    separator.SetLineVisible(true);
    QImage image(separator.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    separator.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    const QRgb shadow = separator.palette().color(QPalette::Dark).rgb();
    const QRgb light = separator.palette().color(QPalette::Light).rgb();
    const QRgb face = separator.palette().color(QPalette::Button).rgb();
    EXPECT_EQ(image.pixel(15, c.lineTop), shadow);
    EXPECT_EQ(image.pixel(15, c.lineTop + 1), shadow);
    EXPECT_EQ(image.pixel(15, c.lineTop + 2), face);
    EXPECT_EQ(image.pixel(15, c.lineTop + 3), light);
    EXPECT_EQ(image.pixel(0, c.lineTop + 4), light);

    separator.SetLineVisible(false);
    separator.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(image.pixel(15, c.lineTop), face);
}

INSTANTIATE_TEST_SUITE_P(Placements, Separator,
                         ::testing::Values(TSeparatorCase{THSeparator::Top, 12, 1},
                                           TSeparatorCase{THSeparator::Bottom, 12, 7},
                                           TSeparatorCase{THSeparator::Centred, 12, 3},
                                           TSeparatorCase{THSeparator::Compact, 12, 0}));

TEST(Separator, CompactHeightIsTwoLinesAndTheGap) {
    EXPECT_EQ(THSeparator(nullptr, 2, 1, 12, THSeparator::Compact).height(), 5);
    EXPECT_EQ(THSeparator(nullptr, 1, 1, 4, THSeparator::Top).height(), 4);
}

TEST(StatusBar, HintsTurnTheSeparatorOnAndOff) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* separator = new THSeparator(&window, 1, 1, 4, THSeparator::Top);
    auto* status = new TMStatusBar(&window, separator);
    layout->addWidget(separator);
    layout->addWidget(status);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    status->SetHintText(CommandHint(CmStop));
    EXPECT_EQ(status->HintText(), QStringLiteral("Stops song play"));
    EXPECT_TRUE(separator->IsLineVisible());
    status->SetHintText(QString());
    EXPECT_FALSE(separator->IsLineVisible());
    EXPECT_TRUE(status->HintText().isEmpty());

    // Hidden while a hint shows: the line goes at the next hint change.
    status->SetHintText(CommandHint(CmStop));
    status->hide();
    EXPECT_TRUE(separator->IsLineVisible());
    status->SetHintText(CommandHint(CmPause));
    EXPECT_FALSE(separator->IsLineVisible());
}

TEST(StatusBar, AHintGivenWhileHiddenCoversTheFieldsOnceShown) {
    TMStatusBar status(nullptr);
    status.SetFieldText(TMStatusBar::AlbumFieldId, QStringLiteral("Coastal Roads"));
    status.SetHintText(CommandHint(CmMute));
    status.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&status));
    EXPECT_FALSE(status.Field(TMStatusBar::AlbumFieldId)->isVisible());
    EXPECT_FALSE(status.Field(TMStatusBar::SongFieldId)->isVisible());
    status.SetHintText(QString());
    EXPECT_TRUE(status.Field(TMStatusBar::AlbumFieldId)->isVisible());
}

TEST(StatusBar, AlbumAndSongFields) {
    TMStatusBar status(nullptr);
    status.SetFieldText(TMStatusBar::AlbumFieldId, QStringLiteral("Coastal Roads"));
    status.SetFieldText(TMStatusBar::SongFieldId, QStringLiteral("Harbour Lights"));
    status.SetFieldText(1234, QStringLiteral("nowhere"));
    EXPECT_EQ(status.FieldText(7856), QStringLiteral("Coastal Roads"));
    EXPECT_EQ(status.FieldText(7857), QStringLiteral("Harbour Lights"));
    EXPECT_TRUE(status.FieldText(1234).isEmpty());
    EXPECT_FALSE(status.isSizeGripEnabled());
}
