// korvo32: one player per settings folder; a later start brings the running one to the front.

#include "korvoversion.h"

#include "core/app.h"
#include "core/commandids.h"
#include "core/playcontroller.h"
#include "platform/alsamixer.h"
#include "platform/cdaudiofactory.h"
#include "platform/fontresource.h"
#include "platform/mprisservice.h"
#include "platform/playout.h"
#include "platform/shutdownnotifier.h"
#include "platform/singleinstance.h"
#include "ui/mainframe.h"
#include "ui/mainwindow.h"
#include "ui/messageboxreporter.h"
#include "ui/soundbar.h"
#include "ui/volbar.h"
#include "ui/volumecontrol.h"

#include <QAction>
#include <QApplication>

#include <cstdio>

// The desktop's media controls reach the frame as its menu and sliders do: a command with a menu
// item goes through the item, so that an option's check mark flips as on a click.
static TMprisHooks MprisHooks(TMainFrame& frame, TSoundBar* volume) {
    return {[&frame](int id) {
                if (QAction* item = frame.Menu().Action(id))
                    item->trigger();
                else
                    frame.Command(id);
            },
            [&frame](int id) { return frame.Options().IsChecked(id); },
            [volume] { return double(volume->GetPosition()) / TSoundBar::Range; },
            [&frame, volume](double level) {
                if (!volume->isEnabled())
                    return;
                const int position = qRound(level * TSoundBar::Range);
                volume->SetPosition(position);
                frame.Client()->Volume().OnScroll(TSoundBar::ThumbPosition, position);
            },
            [&frame] { frame.Activate(); },
            [&frame] { frame.Command(CmExit); }};
}

int main(int argc, char** argv) {
    // The rest of a disc a closing player left playing, in this program without a window.
    if (const std::optional<int> status = RunPlayOutIfAsked(argc, argv))
        return *status;
    // Answered before the application object, so that asking needs no display.
    if (argc == 2 && qstrcmp(argv[1], "--version") == 0) {
        std::puts("korvo32 " KORVO_VERSION);
        return 0;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.audiosuite.Korvo"));
    QApplication::setApplicationName(TApp::Name());
    TApp app(QCoreApplication::applicationFilePath());
    TMessageBoxReporter reporter;
    TReporter::Install(&reporter);

    TSingleInstance instance(app.DataDirectory());
    if (!instance.Claim())
        return 0;

    TFontResource ledFont(
        QStringLiteral("trxft2.ttc"),
        {app.ModuleDirectory(), TApp::InstalledDataDirectory(app.ModuleDirectory())});
    TShutdownNotifier shutdown;

    // The drive: KORVO_CDROM, else the default drive, else the demo disc in a virtual drive.
    TAlsaMixer volumeDevices;
    TMainFrame frame(app, CreateCDAudioService(), volumeDevices);
    QObject::connect(&instance, &TSingleInstance::ActivationRequested, &frame,
                     &TMainFrame::Activate);
    QObject::connect(&shutdown, &TShutdownNotifier::ShutdownRequested, &frame,
                     &TMainFrame::Terminate);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &frame,
                     &TMainFrame::SessionEnding);
    auto* volume = static_cast<TVolBar*>(frame.Bar(CmVolumeBar))->VolumeSlider();
    TMprisService mpris(frame.Client()->Controller(), MprisHooks(frame, volume));
    for (int option : {CmContinuousLoop, CmRandomOrder})
        QObject::connect(frame.Menu().Action(option), &QAction::toggled, &mpris,
                         &TMprisService::Refresh);
    QObject::connect(volume, &QSlider::valueChanged, &mpris, &TMprisService::Refresh);
    mpris.RegisterOnSessionBus();
    frame.show();
    return application.exec();
}
