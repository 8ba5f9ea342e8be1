// The position and volume sliders: scroll codes, the position handler (time while dragging, seek
// on release), the volume handler and set-up, and the device dialog.

#include "core/commandids.h"
#include "core/displayfields.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/profile.h"
#include "fakeauxoutput.h"
#include "manualdrive.h"
#include "ui/choosemixerdlg.h"
#include "ui/displaypanel.h"
#include "ui/positionhandler.h"
#include "ui/soundbar.h"
#include "ui/volumecontrol.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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
    QSignalSpy scrolled(&slider, &TSoundBar::scrolled);
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

// The slider, the handler and the real play controller on a hand-driven drive, writing the real
// display: the window's wiring.
class PositionDrag : public ::testing::Test {
protected:
    void SetUp() override {
        auto service = std::make_unique<TManualDrive>(QVector<quint32>{200000, 45000});
        device = std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(service));
        controller = std::make_unique<TPlayController>(*device, folder.filePath("cdalb.idb"));
        auto* layout = new QVBoxLayout(&window);
        display = new TDisplayPanel(&window);
        slider = new TSoundBar(&window, 7850, 0, 0, 300, 20, true);
        slider->setMinimumWidth(300);
        layout->addWidget(display);
        layout->addWidget(slider);
        controller->SetDisplay(display);
        controller->SetOptionQuery([this](int id) { return id == CmElapsedTime && elapsed; });
        QObject::connect(controller.get(), &TPlayController::positionBarChanged, slider,
                         &TSoundBar::SetPosition);
        QObject::connect(controller.get(), &TPlayController::positionBarEnabledChanged, slider,
                         &QWidget::setEnabled);
        handler = std::make_unique<TPositionHandler>(
            display,
            TPositionHandler::TWiring{[this](int position) { controller->ThumbTrack(position); },
                                      [this](int position) {
                                          seeks << position;
                                          controller->Seek(position);
                                      }});
        QObject::connect(slider, &TSoundBar::scrolled, slider,
                         [this](int code, int position) { handler->OnScroll(code, position); });
        controller->SetUp();
        controller->Timer().stop();
        ASSERT_EQ(controller->LoadAlbum(true), 0);
        ASSERT_GE(controller->PlaySelected(), 0);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(slider->isEnabled());
    }
    QTemporaryDir folder;
    std::unique_ptr<MCIDevice> device;
    std::unique_ptr<TPlayController> controller;
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
    // The time moved on with the thumb, step by step: the thumb's share of the 200-second song.
    ASSERT_EQ(shown.size(), 5);
    for (int i = 1; i < shown.size(); ++i)
        EXPECT_GT(shown[i], shown[i - 1]);
    const int at = slider->sliderPosition();
    EXPECT_EQ(display->FieldText(TDisplayPanel::IdTime), FormatTime(at * 200 / 10000));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grip + QPoint(200, 0));
    ASSERT_EQ(seeks.size(), 1);
    EXPECT_EQ(seeks[0], at);
    EXPECT_EQ(slider->value(), at);
    EXPECT_EQ(controller->BarPosition(), at);
}

TEST_F(PositionDrag, RemainingTimeAtTheRightEndShowsZero) {
    elapsed = false;
    const QPoint grip = HandleRect(slider).center();
    const QPoint beyond(slider->width() + 50, grip.y());
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grip);
    QTest::mouseMove(slider, beyond);
    EXPECT_EQ(slider->sliderPosition(), 10000);
    EXPECT_EQ(display->FieldText(TDisplayPanel::IdTime), QStringLiteral("00:00"));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, beyond);
    EXPECT_EQ(seeks, QList<int>{10000});
}

TEST_F(PositionDrag, ClickBesideTheThumbPagesAndSeeksAtOnce) {
    QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier,
                      QPoint(slider->width() - 5, slider->height() / 2));
    ASSERT_FALSE(seeks.isEmpty());
    EXPECT_EQ(seeks[0], 1000);
    EXPECT_EQ(display->FieldText(TDisplayPanel::IdTime), QStringLiteral("00:20"));
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

TEST(PositionHandler, EndOfScrollingDoesNothing) {
    QList<int> calls;
    TPositionHandler handler(nullptr, {[&](int p) { calls << -p; }, [&](int p) { calls << p; }});
    handler.OnScroll(TSoundBar::EndScroll, 700);
    handler.OnScroll(99, 700);
    EXPECT_TRUE(calls.isEmpty());
    handler.OnScroll(TSoundBar::ThumbTrack, 700);
    handler.OnScroll(TSoundBar::ToLeft, 0);
    EXPECT_EQ(calls, (QList<int>{-700, 0}));
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

// The "Volume Device..." command on a first start: the slider works with the default device,
// which the settings file does not hold yet.
struct TChoiceCase {
    const char* name;
    int chosen; // the entry selected before closing; -1 closes with Cancel
    int setting;
    bool sliderOn;
};

class VolumeDeviceCommand : public ::testing::TestWithParam<TChoiceCase> {
protected:
    QTemporaryDir dir;
    TProfile settings{dir.filePath(QStringLiteral("Korvo.ini"))};
    TFakeAuxOutput devices{{QStringLiteral("Master (default)"), QStringLiteral("PCM (hw:0)")}};
    TSoundBar slider{nullptr, 7889, 0, 0, 200, 16, true};
    TVolumeControl volume{devices, &slider};
};

TEST_P(VolumeDeviceCommand, ShowsTheDeviceInUseAndCancelKeepsIt) {
    const TChoiceCase& c = GetParam();
    volume.SetUp(TVolumeControl::DefaultSetting(devices));
    ASSERT_TRUE(slider.isEnabled());
    int preselected = -1;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TChooseMixerDlg*>(QApplication::activeModalWidget());
        opened = dialog != nullptr;
        if (!dialog)
            return;
        preselected = dialog->DeviceList()->currentIndex();
        if (c.chosen < 0) {
            dialog->reject();
        } else {
            dialog->DeviceList()->setCurrentIndex(c.chosen);
            dialog->accept();
        }
    });
    volume.ChooseDevice(nullptr, settings);
    ASSERT_TRUE(opened);
    EXPECT_EQ(preselected, 1) << "the device in use";
    EXPECT_EQ(volume.DeviceSetting(), c.setting);
    EXPECT_EQ(slider.isEnabled(), c.sliderOn);
    const QString stored = settings.ReadString(
        QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"), QStringLiteral("absent"));
    EXPECT_EQ(stored, c.chosen < 0 ? QStringLiteral("absent") : QString::number(c.chosen));
    // The slider still drives the device the setting names.
    volume.OnScroll(TSoundBar::PageRight, 10000);
    EXPECT_EQ(devices.SetCalls, c.sliderOn ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(FirstStart, VolumeDeviceCommand,
                         ::testing::Values(TChoiceCase{"cancel", -1, 1, true},
                                           TChoiceCase{"other", 2, 2, true},
                                           TChoiceCase{"off", 0, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
