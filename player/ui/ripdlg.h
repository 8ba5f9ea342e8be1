#pragma once
// "Rip": where and how a copy of the disc is made - the destination folder and the album folder's
// name, FLAC or WAV, the queue's songs or every track, Test and copy, and the drive's read
// offset. It opens with what was chosen last (the destination, and the offset of this drive);
// Start remembers them in Korvo.ini and accepts. The copy itself is not started here.

#include "core/ripoptions.h"
#include "ui/mdialog.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TPlayController;

class TRipDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 17960;
    static constexpr int DestinationId = 17961;
    static constexpr int BrowseId = 17962;
    static constexpr int AlbumFolderId = 17963;
    static constexpr int FlacId = 17964;
    static constexpr int WavId = 17965;
    static constexpr int QueueId = 17966;
    static constexpr int EveryTrackId = 17967;
    static constexpr int TestAndCopyId = 17968;
    static constexpr int OffsetId = 17969;

    // `source` is the drive or image the copy reads; its read offset is the one shown.
    TRipDlg(QWidget* parent, TPlayController& player, const QString& source,
            const QString& settingsPath);

    // What the user chose; Source, titles and tracks filled in from the player.
    TRipOptions Options() const;

    QLineEdit* DestinationEdit() const { return FDestination; }
    QLineEdit* AlbumFolderEdit() const { return FAlbumFolder; }
    QRadioButton* FlacButton() const { return FFlac; }
    QRadioButton* WavButton() const { return FWav; }
    QRadioButton* QueueButton() const { return FQueue; }
    QRadioButton* EveryTrackButton() const { return FEveryTrack; }
    QCheckBox* TestAndCopyBox() const { return FTestAndCopy; }
    QSpinBox* OffsetBox() const { return FOffset; }
    QPushButton* StartButton() const { return FStart; }

private:
    void Browse();
    void Start();

    TPlayController& FPlayer;
    QString FSource;
    QString FSettingsPath;
    QLineEdit* FDestination;
    QLineEdit* FAlbumFolder;
    QRadioButton* FFlac;
    QRadioButton* FWav;
    QRadioButton* FQueue;
    QRadioButton* FEveryTrack;
    QCheckBox* FTestAndCopy;
    QSpinBox* FOffset;
    QPushButton* FStart;
};
