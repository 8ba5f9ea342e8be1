#pragma once
// "Album Properties": the album's title, its number of tracks and its length. Done renames the
// album when the title was edited; without an album the fields keep "unknown".

#include "ui/mdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TPlayController;

class TAlbumPropDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 7823;
    static constexpr int TitleId = 7820;
    static constexpr int TracksId = 7821;
    static constexpr int LengthId = 7822;
    // The longest title kept.
    static constexpr int TitleLimit = 49;

    TAlbumPropDlg(QWidget* parent, TPlayController& player);

    QLineEdit* TitleEdit() const { return FTitle; }
    QLabel* TracksText() const { return FTracks; }
    QLabel* LengthText() const { return FLength; }
    QPushButton* DoneButton() const { return FDone; }

private:
    void Done();

    TPlayController& FPlayer;
    QLineEdit* FTitle;
    QLabel* FTracks;
    QLabel* FLength;
    QPushButton* FDone;
};
