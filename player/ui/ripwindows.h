#pragma once
// The windows of copying a disc: Rip opens the Rip dialog, then the progress window while the
// copy runs and the results when it ends. The player's other windows stay usable while a copy
// runs: an image plays on while it is copied, a physical drive does not (the session refuses
// play until the copy ends).

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

class QAction;
class QWidget;
class TDiscRipper;
class TPlayerSession;
class TPlayerState;
class TRipDlg;
class TRipProgressDlg;
class TRipResultsDlg;
struct TRipReport;

class TRipWindows : public QObject {
    Q_OBJECT
public:
    TRipWindows(QWidget* frame, TPlayerSession& session);
    ~TRipWindows() override;

    // Rip is enabled while a disc's album is loaded and no copy runs.
    void BindState(const TPlayerState& state);

    // Opens the Rip dialog unless a copy runs.
    void Open();

    // The windows open now, null when closed (for tests).
    TRipDlg* RipDialog() const;
    TRipProgressDlg* ProgressWindow() const;
    TRipResultsDlg* ResultsWindow() const;
    bool Running() const { return FRipper != nullptr; }
    // The player is about to quit: a running copy is stopped after the user agreed; false when
    // the user keeps it running (the player then stays).
    bool MayQuit();

signals:
    // The results of a copy are shown (or its failure reported).
    void ripEnded();

private:
    void StartRip();
    void Finished(const TRipReport& report);
    void UpdateEnabled();

    QWidget* FFrame;
    TPlayerSession& FSession;
    const TPlayerState* FState = nullptr;
    QPointer<TRipDlg> FDialog;
    QPointer<TRipProgressDlg> FProgress;
    QPointer<TRipResultsDlg> FResults;
    std::unique_ptr<TDiscRipper> FRipper;
    QStringList FTitles;
    bool FPhysical = false;
};
