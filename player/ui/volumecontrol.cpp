#include "ui/volumecontrol.h"

#include "core/profile.h"
#include "ui/choosemixerdlg.h"
#include "ui/soundbar.h"

static_assert(TVolumeModel::Range == TSoundBar::Range, "the level is the slider's position");

TVolumeControl::TVolumeControl(TVolumeModel& model, TSoundBar* slider)
    : FModel(model), FSlider(slider) {
    Bind();
}

TVolumeControl::TVolumeControl(TAuxOutput& devices, TSoundBar* slider)
    : FOwnModel(std::make_unique<TVolumeModel>(devices)), FModel(*FOwnModel), FSlider(slider) {
    Bind();
}

TVolumeControl::~TVolumeControl() = default;

void TVolumeControl::Bind() {
    FSlider->setEnabled(FModel.IsEnabled());
    FSlider->SetPosition(FModel.Level());
    QObject::connect(&FModel, &TVolumeModel::enabledChanged, FSlider, &QWidget::setEnabled);
    QObject::connect(&FModel, &TVolumeModel::levelChanged, FSlider, [this](int level) {
        if (FSlider->GetPosition() != level)
            FSlider->SetPosition(level);
    });
}

void TVolumeControl::OnScroll(int, int position) {
    FModel.SetLevel(position);
}

void TVolumeControl::ChooseDevice(QWidget* parent, TProfile& settings) {
    const int inUse = FModel.DeviceSetting();
    TChooseMixerDlg dialog(parent, FModel.Devices(), settings, inUse);
    // Cancel keeps the device in use, also the first start's, which the file does not hold yet.
    FModel.SetUp(dialog.exec() == QDialog::Accepted ? TVolumeModel::ReadSetting(settings) : inUse);
}
