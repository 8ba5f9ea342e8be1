#include "ui/ripwindows.h"

#include "core/albumdatabase.h"
#include "core/commandids.h"
#include "core/playersession.h"
#include "core/playerstate.h"
#include "core/reporter.h"
#include "core/ripsettings.h"
#include "platform/discripper.h"
#include "ui/openimage.h"
#include "ui/ripdlg.h"
#include "ui/ripprogressdlg.h"

#include <QAction>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcRipWindows, "korvo.rip.windows")

TRipWindows::TRipWindows(QWidget* frame, TPlayerSession& session)
    : QObject(frame), FFrame(frame), FSession(session) {}

TRipWindows::~TRipWindows() {
    if (FRipper)
        FRipper->Cancel();
}

TRipDlg* TRipWindows::RipDialog() const {
    return FDialog;
}

TRipProgressDlg* TRipWindows::ProgressWindow() const {
    return FProgress;
}

TRipResultsDlg* TRipWindows::ResultsWindow() const {
    return FResults;
}

void TRipWindows::BindState(const TPlayerState& state) {
    FState = &state;
    state.Bind(TPlayerState::DiscLoaded, this, [this](bool) { UpdateEnabled(); });
}

void TRipWindows::UpdateEnabled() {
    if (QAction* rip = FSession.Menu().Action(CmRip))
        rip->setEnabled(FState && FState->IsDiscLoaded() && !FRipper);
}

bool TRipWindows::MayQuit() {
    if (!FRipper)
        return true;
    TMessage question;
    question.text = tr("A copy of the disc is still being made.\n\nStop it and quit?");
    question.icon = TMessageIcon::Question;
    question.buttons = TMessageButtons::YesNo;
    // Keeping the copy is the answer that loses nothing.
    question.defaultAnswer = TMessageAnswer::No;
    if (ReportMessage(question) != TMessageAnswer::Yes)
        return false;
    // The ripper removes its unfinished file before it goes.
    FRipper->Cancel();
    FRipper.reset();
    if (FPhysical)
        FSession.SetDriveBusy(false);
    if (FProgress)
        FProgress->Finish();
    UpdateEnabled();
    return true;
}

// ----- Rip

void TRipWindows::Open() {
    if (FRipper || FDialog || !FState || !FState->IsDiscLoaded())
        return;
    const QString source = PlayerSource(FSession, &FPhysical);
    FDialog = new TRipDlg(FFrame, FSession.Controller(), source, FSession.Profile().Path());
    FDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(FDialog, &QDialog::accepted, this, &TRipWindows::StartRip);
    FDialog->open();
}

void TRipWindows::StartRip() {
    const TRipOptions options = FDialog->Options();
    FTitles = options.TrackTitles;
    for (int t = 0; t < FTitles.size(); ++t)
        if (FTitles[t].isEmpty())
            FTitles[t] = FSession.Device().Titles().Track(t + 1);
    if (FPhysical)
        FSession.SetDriveBusy(true);
    FRipper = std::make_unique<TDiscRipper>(options);
    FProgress = new TRipProgressDlg(FFrame);
    FProgress->setAttribute(Qt::WA_DeleteOnClose);
    // The player stays usable while an image is copied; a drive's copy keeps it from playing.
    FProgress->setModal(false);
    connect(FRipper.get(), &TDiscRipper::trackStarted, FProgress, &TRipProgressDlg::TrackStarted);
    connect(FRipper.get(), &TDiscRipper::progress, FProgress, &TRipProgressDlg::Progress);
    connect(FRipper.get(), &TDiscRipper::finished, this, &TRipWindows::Finished);
    connect(FProgress, &TRipProgressDlg::cancelRequested, FRipper.get(), &TDiscRipper::Cancel);
    UpdateEnabled();
    FProgress->show();
    qCInfo(lcRipWindows) << "copying" << options.Source << "to" << options.Destination;
    FRipper->Start();
}

void TRipWindows::Finished(const TRipReport& report) {
    // The ripper is done with its workers; it goes once its signal has been delivered.
    FRipper.release()->deleteLater();
    if (FPhysical)
        FSession.SetDriveBusy(false);
    if (FProgress)
        FProgress->Finish();
    UpdateEnabled();
    if (!report.Message.isEmpty() && !report.Cancelled) {
        TMessage message;
        message.text = report.Message;
        message.icon = TMessageIcon::Warning;
        message.beep = true;
        ReportMessage(message);
    }
    if (!report.Tracks.isEmpty()) {
        FResults = new TRipResultsDlg(FFrame, report, FTitles);
        FResults->setAttribute(Qt::WA_DeleteOnClose);
        FResults->open();
    }
    emit ripEnded();
}
