#pragma once
// "Volume Output Device": picks the device the volume slider drives. The first entry turns volume
// control off; the others are the devices whose names can be read. The entry of the device in use
// comes up selected. OK stores the chosen entry's position as "AuxOutDevice" in "Settings"; Cancel
// stores nothing.

#include "ui/mdialog.h"

class QComboBox;
class TAuxOutput;
class TProfile;

class TChooseMixerDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 17947;
    static constexpr int ListId = 17948;

    // The setting the settings file holds, for `inUse`.
    static constexpr int StoredSetting = -1;

    // `inUse` is the device setting the volume slider works with now, which on a first start is
    // not yet in the file.
    TChooseMixerDlg(QWidget* parent, TAuxOutput& devices, TProfile& settings,
                    int inUse = StoredSetting);

    QComboBox* DeviceList() const { return FList; }

    void accept() override;

private:
    TProfile& FSettings;
    QComboBox* FList;
};
