#pragma once
// "Edit Track": the title of the queue's selected song. Prev and Next save and walk the queue
// (Next is the default button, so Enter saves and moves on; at the last song it saves and stays);
// OK saves and closes; Esc does nothing. Only an edited title is written, into the title list and
// the song's queue row, so opening and closing the dialog never changes the album.

#include "ui/mdialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TPlayController;

class TEditSongDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 7813;
    static constexpr int TitleId = 7816;
    static constexpr int NumberId = 7817;
    static constexpr int NextId = 7818;
    static constexpr int PrevId = 7819;
    static constexpr int TitleLimit = 99;

    TEditSongDlg(QWidget* parent, TPlayController& player);

    // The queue row being edited, -1 for none.
    int Row() const { return FRow; }
    QLineEdit* TitleEdit() const { return FTitle; }
    QLabel* NumberText() const { return FNumber; }
    QPushButton* OkButton() const { return FOk; }
    QPushButton* PrevButton() const { return FPrev; }
    QPushButton* NextButton() const { return FNext; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Load();
    void Save();
    void Ok();
    void Prev();
    void Next();

    TPlayController& FPlayer;
    int FRow = -1;
    QLineEdit* FTitle;
    QLabel* FNumber;
    QPushButton* FOk;
    QPushButton* FPrev;
    QPushButton* FNext;
};
