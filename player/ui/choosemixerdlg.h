#pragma once
// "Volume Output Device": picks the device the volume slider drives. The first entry turns volume
// control off; the others are the devices whose names can be read. OK stores the chosen entry's
// position as "AuxOutDevice" in "Settings"; Cancel stores nothing.

#include "ui/mdialog.h"

class QComboBox;
class TAuxOutput;
class TProfile;

class TChooseMixerDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 17947;
    static constexpr int ListId = 17948;

    TChooseMixerDlg(QWidget* parent, TAuxOutput& devices, TProfile& settings);

    QComboBox* DeviceList() const { return FList; }

    void accept() override;

private:
    int VolumeControlSetting() const;

    TProfile& FSettings;
    QComboBox* FList;
};
