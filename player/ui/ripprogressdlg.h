#pragma once
// The windows of a copy under way and done. "Ripping" shows the track being read ("Track 3 of
// 12 - Title"), a bar for that track and one for the whole disc, the reading speed ("14.2x")
// and the time left, and Cancel. "Rip Results" lists every chosen track with what became of it,
// the summary line and Open Folder, which shows the album folder in the desktop's file manager.

#include "ui/mdialog.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;
struct TRipReport;

class TRipProgressDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 17970;
    static constexpr int TrackTextId = 17971;
    static constexpr int TrackBarId = 17972;
    static constexpr int DiscBarId = 17973;
    static constexpr int SpeedId = 17974;
    static constexpr int TimeLeftId = 17975;

    explicit TRipProgressDlg(QWidget* parent);

    // The ripper's signals, in the order it sends them.
    void TrackStarted(int index, int count, int track, const QString& title);
    void Progress(double trackFraction, double discFraction, double speed, int secondsLeft);
    // The copy has ended: the window goes.
    void Finish();

    QLabel* TrackText() const { return FTrackText; }
    QProgressBar* TrackBar() const { return FTrackBar; }
    QProgressBar* DiscBar() const { return FDiscBar; }
    QLabel* SpeedText() const { return FSpeed; }
    QLabel* TimeLeftText() const { return FTimeLeft; }
    QPushButton* CancelButton() const { return FCancel; }

signals:
    // Cancel, the Escape key or the window's close button.
    void cancelRequested();

protected:
    void reject() override;

private:
    QLabel* FTrackText;
    QProgressBar* FTrackBar;
    QProgressBar* FDiscBar;
    QLabel* FSpeed;
    QLabel* FTimeLeft;
    QPushButton* FCancel;
    bool FFinished = false;
};

class TRipResultsDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 17980;
    static constexpr int ListId = 17981;
    static constexpr int SummaryId = 17982;
    static constexpr int OpenFolderId = 17983;

    // `titles`: track t's title at t - 1, for tracks the copy wrote no file of.
    TRipResultsDlg(QWidget* parent, const TRipReport& report, const QStringList& titles);

    QTreeWidget* List() const { return FList; }
    QLabel* SummaryText() const { return FSummary; }
    QPushButton* OpenFolderButton() const { return FOpenFolder; }

private:
    QString FFolder;
    QTreeWidget* FList;
    QLabel* FSummary;
    QPushButton* FOpenFolder;
};
