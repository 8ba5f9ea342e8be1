#include "ui/commanddialogs.h"

#include "core/commandids.h"
#include "core/playersession.h"
#include "platform/helpviewer.h"
#include "ui/aboutdlg.h"
#include "ui/addtrackdlg.h"
#include "ui/albumpropdlg.h"
#include "ui/dbmaintdlg.h"
#include "ui/editsongdlg.h"
#include "ui/openimage.h"
#include "ui/queuelist.h"
#include "ui/ripwindows.h"
#include "ui/volumecontrol.h"

TCommandDialogs::TCommandDialogs(QWidget* frame, TPlayerSession& session, TQueueList& queue,
                                 TVolumeControl& volume, TStatusHint* hint)
    : QObject(frame), FFrame(frame), FSession(session), FQueue(queue), FVolume(volume), FHint(hint),
      FRip(new TRipWindows(frame, session)) {}

void TCommandDialogs::BindState(const TPlayerState& state) {
    FRip->BindState(state);
}

TCommandDialogs::~TCommandDialogs() {
    delete FHelp;
}

bool TCommandDialogs::Open(int id) {
    TPlayController& player = FSession.Controller();
    switch (id) {
    case CmAlbumProperties: {
        TAlbumPropDlg dialog(FFrame, player);
        dialog.exec();
        return true;
    }
    case CmDatabaseMaintain: {
        TDBMaintDlg dialog(FFrame, FSession.Database().Path(), FQueue.font(), FHint);
        dialog.exec();
        return true;
    }
    case CmSongEdit: {
        TEditSongDlg dialog(FFrame, player);
        dialog.exec();
        return true;
    }
    case CmSongAdd: {
        TAddTrackDlg dialog(FFrame, player, FQueue.font());
        dialog.exec();
        return true;
    }
    case CmRip:
        FRip->Open();
        return true;
    case CmOpenImage:
        OpenImage::Run(FFrame, FSession);
        return true;
    case CmVolumeDevice:
        FVolume.ChooseDevice(FFrame, FSession.Profile());
        return true;
    case CmHelpContents:
    case CmHelpTutorial:
    case CmHelpKeywordSearch:
    case CmHelpUsingHelp:
        ShowHelpFor(id);
        return true;
    case CmAbout: {
        TAboutDlg dialog(FFrame);
        dialog.exec();
        return true;
    }
    default:
        return false;
    }
}

void TCommandDialogs::ShowHelpFor(int command) {
    if (!FHelp)
        FHelp = new THelpViewer;
    switch (command) {
    case CmHelpContents:
        FHelp->Contents();
        break;
    case CmHelpTutorial:
        FHelp->Topic(CmHelpTutorial);
        break;
    case CmHelpKeywordSearch:
        FHelp->KeywordSearch(QString());
        break;
    default:
        FHelp->UsingHelp();
        break;
    }
}

void TCommandDialogs::QuitHelp() {
    if (FHelp)
        FHelp->Quit();
}
