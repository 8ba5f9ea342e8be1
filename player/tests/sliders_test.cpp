// The position and volume sliders: scroll codes, the position handler (time while dragging, seek
// on release), the volume handler and set-up, and the device dialog.

#include "core/displayfields.h"
#include "core/profile.h"
#include "fakeauxoutput.h"
#include "ui/choosemixerdlg.h"
#include "ui/displaypanel.h"
#include "ui/positionhandler.h"
#include "ui/soundbar.h"
#include "ui/volumecontrol.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

QRect HandleRect(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = false;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

} // namespace

TEST(SoundBar, RangeAndSteps) {
    TSoundBar slider(nullptr, 7850, 0, 0, 200, 16, true);
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 10000);
    EXPECT_EQ(slider.singleStep(), 100);
    EXPECT_EQ(slider.pageStep(), 1000);
    EXPECT_EQ(slider.orientation(), Qt::Horizontal);
    EXPECT_EQ(slider.width(), 200);
}

struct TActionCase {
    QAbstractSlider::SliderAction action;
    int start;
    int code;
    int position;
};

class SoundBarActions : public ::testing::TestWithParam<TActionCase> {};

TEST_P(SoundBarActions, ReportTheirCodeWithTheNewPosition) {
    const TActionCase& c = GetParam();
    TSoundBar slider(nullptr, 7850, 0, 0, 200, 16, true);
    slider.SetPosition(c.start);
    QSignalSpy scrolled(&slider, &TSoundBar::Scrolled);
    slider.triggerAction(c.action);
    ASSERT_EQ(scrolled.size(), 1);
    EXPECT_EQ(scrolled[0][0].toInt(), c.code);
    EXPECT_EQ(scrolled[0][1].toInt(), c.position);
    EXPECT_EQ(slider.GetPosition(), c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SoundBarActions,
    ::testing::Values(
        TActionCase{QAbstractSlider::SliderSingleStepSub, 5000, TSoundBar::LineLeft, 4900},
        TActionCase{QAbstractSlider::SliderSingleStepAdd, 5000, TSoundBar::LineRight, 5100},
        TActionCase{QAbstractSlider::SliderPageStepSub, 500, TSoundBar::PageLeft, 0},
        TActionCase{QAbstractSlider::SliderPageStepAdd, 9500, TSoundBar::PageRight, 10000},
        TActionCase{QAbstractSlider::SliderToMinimum, 5000, TSoundBar::ToLeft, 0},
        TActionCase{QAbstractSlider::SliderToMaximum, 5000, TSoundBar::ToRight, 10000}));

struct TShownCase {
    int position;
    int lengthMs;
    bool elapsed;
    const char* shown;
};

class ShownTime : public ::testing::TestWithParam<TShownCase> {};

TEST_P(ShownTime, FollowsTheThumb) {
    const TShownCase& c = GetParam();
    const int ms = TPositionHandler::SliderToMilliseconds(c.position, c.lengthMs);
    EXPECT_LE(ms, c.lengthMs);
    EXPECT_EQ(FormatTime(TPositionHandler::ShownSeconds(ms, c.lengthMs, c.elapsed)),
              QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(Positions, ShownTime,
                         ::testing::Values(TShownCase{0, 200000, true, "00:00"},
                                           TShownCase{0, 200000, false, "03:20"},
                                           TShownCase{5000, 200000, true, "01:40"},
                                           TShownCase{5000, 200000, false, "01:40"},
                                           TShownCase{10000, 200000, true, "03:20"},
                                           TShownCase{10000, 200000, false, "00:00"},
                                           TShownCase{9999, 61000, false, "00:00"},
                                           TShownCase{10000, 0, true, "00:00"},
                                           TShownCase{2500, 6000000, true, "25:00"}));

TEST(PositionMapping, SliderFromElapsedTime) {
    EXPECT_EQ(TPositionHandler::MillisecondsToSlider(100000, 200000), 5000);
    EXPECT_EQ(TPositionHandler::MillisecondsToSlider(199999, 200000), 9999);
    EXPECT_EQ(TPositionHandler::MillisecondsToSlider(5000, 0), 0);
    // A 100-minute song does not overflow on the way.
    EXPECT_EQ(TPositionHandler::MillisecondsToSlider(5999999, 6000000), 9999);
    EXPECT_EQ(TPositionHandler::SliderToMilliseconds(10000, 6000000), 6000000);
}

class PositionDrag : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        display = new TDisplayPanel(&window);
        slider = new TSoundBar(&window, 7850, 0, 0, 300, 20, true);
        slider->setMinimumWidth(300);
        layout->addWidget(display);
        layout->addWidget(slider);
        handler = std::make_unique<TPositionHandler>(
            display, TPositionHandler::TWiring{[] { return 200000; }, [this] { return elapsed; },
                                               [this](int position) { seeks << position; }});
        QObject::connect(slider, &TSoundBar::Scrolled, slider,
                         [this](int code, int position) { handler->OnScroll(code, position); });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
    TDisplayPanel* display = nullptr;
    TSoundBar* slider = nullptr;
    std::unique_ptr<TPositionHandler> handler;
    bool elapsed = true;
    QList<int> seeks;
};

TEST_F(PositionDrag, DraggingShowsTheTimeAndSeeksOnlyOnRelease) {
    const QPoint grip = HandleRect(slider).center();
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grip);
    ASSERT_TRUE(slider->isSliderDown());
    QStringList shown;
    for (int dx = 20; dx <= 200; dx += 45) {
        QTest::mouseMove(slider, grip + QPoint(dx, 0));
        shown << display->FieldText(TDisplayPanel::IdTime);
        EXPECT_TRUE(seeks.isEmpty()) << "sought while dragging at dx " << dx;
    }
    // The time moved on with the thumb, step by step.
    ASSERT_EQ(shown.size(), 5);
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_GT(shown[i], shown[i - 1]);
    const int at = slider->sliderPosition();
    EXPECT_EQ(display->FieldText(TDisplayPanel::IdTime),
              FormatTime(TPositionHandler::SliderToMilliseconds(at, 200000) / 1000));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grip + QPoint(200, 0));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_EQ(seeks[0], slider->value());
    EXPECT_GT(seeks[0], 0);
}

TEST_F(PositionDrag, RemainingTimeAtTheRightEndShowsZero) {
    elapsed = false;
    const QPoint grip = HandleRect(slider).center();
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(slider, QPoint(slider->width() + 50, grip.y()));
    EXPECT_EQ(slider->sliderPosition(), 10000);
    EXPECT_EQ(display->FieldText(TDisplayPanel::IdTime), QStringLiteral("00:00"));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier,
                        QPoint(slider->width() + 50, grip.y()));
    EXPECT_EQ(seeks, QList<int>{10000});
}

TEST_F(PositionDrag, ClickBesideTheThumbPagesAndSeeksAtOnce) {
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier,
                      QPoint(slider->width() - 5, slider->height() / 2));
    ASSERT_FALSE(seeks.isEmpty());
    EXPECT_EQ(seeks[0], 1000);
    EXPECT_TRUE(display->FieldText(TDisplayPanel::IdTime).isEmpty());
}

TEST_F(PositionDrag, PlayerUpdatesDoNotFightADrag) {
    const QPoint grip = HandleRect(slider).center();
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(slider, grip + QPoint(100, 0));
    const int dragged = slider->sliderPosition();
    slider->SetPosition(0);
    EXPECT_EQ(slider->sliderPosition(), dragged);
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grip + QPoint(100, 0));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_EQ(seeks[0], dragged);
}

class VolumeControl : public ::testing::Test {
protected:
    TFakeAuxOutput devices{{QStringLiteral("Master (default)"), QStringLiteral("PCM (hw:0)")}};
    TSoundBar slider{nullptr, 7889, 0, 0, 200, 16, true};
    TVolumeControl volume{devices, &slider};
};

struct TLevelCase {
    int position;
    int level;
};

class VolumeLevels : public VolumeControl, public ::testing::WithParamInterface<TLevelCase> {};

TEST_P(VolumeLevels, SetBothChannelsOfTheChosenDevice) {
    volume.SetUp(2);
    volume.OnScroll(TSoundBar::ThumbTrack, GetParam().position);
    EXPECT_EQ(devices.Volume(1), TAuxOutput::MakeVolume(GetParam().level, GetParam().level));
    EXPECT_EQ(devices.Volume(0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Positions, VolumeLevels,
                         ::testing::Values(TLevelCase{10000, 65535}, TLevelCase{0, 0},
                                           TLevelCase{5000, 32767}, TLevelCase{1, 6},
                                           TLevelCase{9999, 65528}));

TEST_F(VolumeControl, NoDeviceDisablesTheSliderAndIgnoresIt) {
    volume.SetUp(0);
    EXPECT_FALSE(slider.isEnabled());
    volume.OnScroll(TSoundBar::PageRight, 5000);
    EXPECT_EQ(devices.SetCalls, 0);
}

TEST_F(VolumeControl, ADeviceBeyondThoseThereLeavesTheSliderOnButDoesNothing) {
    volume.SetUp(3);
    EXPECT_TRUE(slider.isEnabled());
    volume.OnScroll(TSoundBar::PageRight, 5000);
    EXPECT_EQ(devices.SetCalls, 0);
}

TEST_F(VolumeControl, SetUpReadsTheLeftChannel) {
    devices.SetVolume(0, TAuxOutput::MakeVolume(32768, 65535));
    slider.setEnabled(false);
    volume.SetUp(1);
    EXPECT_TRUE(slider.isEnabled());
    EXPECT_EQ(slider.GetPosition(), 5000);
}

class ChooseMixer : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TProfile settings{dir.filePath(QStringLiteral("Korvo.ini"))};
    // The second device cannot say its name and is left out of the list.
    TFakeAuxOutput devices{
        {QStringLiteral("Master (default)"), QString(), QStringLiteral("PCM (hw:0)")}};
};

TEST_F(ChooseMixer, ListsTheDevicesAfterTheOffEntry) {
    TChooseMixerDlg dialog(nullptr, devices, settings);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Volume Output Device"));
    QComboBox* list = dialog.DeviceList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), QStringLiteral("No aux device / Disable volume control"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("Master (default)"));
    EXPECT_EQ(list->itemText(2), QStringLiteral("PCM (hw:0)"));
    EXPECT_EQ(list->currentIndex(), 0);
}

TEST_F(ChooseMixer, OkStoresThePositionAndReopeningPreselectsIt) {
    {
        TChooseMixerDlg dialog(nullptr, devices, settings);
        dialog.DeviceList()->setCurrentIndex(2);
        dialog.accept();
    }
    EXPECT_EQ(
        settings.ReadString(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"), QString()),
        QStringLiteral("2"));
    TChooseMixerDlg again(nullptr, devices, settings);
    EXPECT_EQ(again.DeviceList()->currentIndex(), 2);
}

TEST_F(ChooseMixer, CancelStoresNothing) {
    TChooseMixerDlg dialog(nullptr, devices, settings);
    dialog.DeviceList()->setCurrentIndex(1);
    dialog.reject();
    EXPECT_EQ(settings.ReadString(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"),
                                  QStringLiteral("absent")),
              QStringLiteral("absent"));
}

TEST_F(ChooseMixer, AStoredPositionBeyondTheListSelectsTheOffEntry) {
    settings.WriteString(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"),
                         QStringLiteral("9"));
    TChooseMixerDlg dialog(nullptr, devices, settings);
    EXPECT_EQ(dialog.DeviceList()->currentIndex(), 0);
}
