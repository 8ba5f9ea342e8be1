#include "ui/choosemixerdlg.h"

#include "core/auxoutput.h"
#include "core/profile.h"
#include "ui/volumecontrol.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TChooseMixerDlg::TChooseMixerDlg(QWidget* parent, TAuxOutput& devices, TProfile& settings,
                                 int inUse)
    : TMDialog(parent, DialogId, tr("Volume Output Device"), QSize(194, 70)), FSettings(settings),
      FList(new QComboBox(this)) {
    auto* prompt = new QLabel(tr("Choose the output device you to control volume"), this);
    Place(prompt, 19, 12, 160, 8);
    Place(FList, 17, 23, 160, 12, ListId);
    auto* ok = new QPushButton(tr("OK"), this);
    Place(ok, 42, 44, 50, 14, 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    Place(cancel, 102, 44, 50, 14, 2);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    SetUp();
    FitText(prompt);

    FList->setMaxVisibleItems(8);
    FList->addItem(tr("No aux device / Disable volume control"));
    for (int device = 0; device < devices.DeviceCount(); ++device) {
        QString name;
        if (devices.DeviceName(device, name))
            FList->addItem(name);
    }
    const int current = inUse == StoredSetting ? TVolumeModel::ReadSetting(FSettings) : inUse;
    FList->setCurrentIndex(current >= 0 && current < FList->count() ? current : 0);
}

void TChooseMixerDlg::accept() {
    FSettings.WriteString(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"),
                          QString::asprintf("%d", FList->currentIndex()));
    QDialog::accept();
}
