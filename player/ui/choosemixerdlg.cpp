#include "ui/choosemixerdlg.h"

#include "core/profile.h"
#include "platform/auxoutput.h"
#include "ui/screenunits.h"
#include "ui/volumecontrol.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

TChooseMixerDlg::TChooseMixerDlg(QWidget* parent, TAuxOutput& devices, TProfile& settings)
    : QDialog(parent), FSettings(settings), FList(new QComboBox(this)) {
    setObjectName(QString::number(DialogId));
    setWindowTitle(tr("Volume Output Device"));
    const QSize base = DialogBaseUnits(ScreenDpiY(this));
    setFixedSize(DialogUnitsToPixels(QRect(0, 0, 194, 70), base).size());

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    ok->setGeometry(DialogUnitsToPixels(QRect(42, 44, 50, 14), base));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("2"));
    cancel->setGeometry(DialogUnitsToPixels(QRect(102, 44, 50, 14), base));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* prompt = new QLabel(tr("Choose the output device you to control volume"), this);
    prompt->setGeometry(DialogUnitsToPixels(QRect(19, 12, 160, 8), base));

    FList->setObjectName(QString::number(ListId));
    FList->setGeometry(DialogUnitsToPixels(QRect(17, 23, 160, 12), base));
    FList->setMaxVisibleItems(8);
    FList->addItem(tr("No aux device / Disable volume control"));
    for (int device = 0; device < devices.DeviceCount(); ++device) {
        QString name;
        if (devices.DeviceName(device, name))
            FList->addItem(name);
    }
    const int current = VolumeControlSetting();
    FList->setCurrentIndex(current >= 0 && current < FList->count() ? current : 0);
}

int TChooseMixerDlg::VolumeControlSetting() const {
    return TVolumeControl::ReadSetting(FSettings);
}

void TChooseMixerDlg::accept() {
    FSettings.WriteString(QStringLiteral("Settings"), QStringLiteral("AuxOutDevice"),
                          QString::asprintf("%d", FList->currentIndex()));
    QDialog::accept();
}
