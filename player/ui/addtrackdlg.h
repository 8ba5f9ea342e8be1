#pragma once
// "Add Track": the album's tracks that are not in the queue, in track order, drawn like the queue
// and in its font. Add (or a double-click) appends the selected track to the queue and takes it
// off this list.

#include "ui/mdialog.h"

class QPushButton;
class TPlayController;
class TSongList;
class TSongListModel;

class TAddTrackDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 7834;
    static constexpr int ListId = 7836;
    static constexpr int AddId = 7837;

    TAddTrackDlg(QWidget* parent, TPlayController& player, const QFont& queueFont);

    TSongList* List() const { return FList; }
    QPushButton* AddButton() const { return FAdd; }
    QPushButton* OkButton() const { return FOk; }

    // Whether the queue holds a row of this track: a row beginning with "%d\t" of it.
    static bool InQueue(const TSongListModel& queue, int track);

private:
    void Add();

    TPlayController& FPlayer;
    TSongList* FList;
    QPushButton* FAdd;
    QPushButton* FOk;
};
