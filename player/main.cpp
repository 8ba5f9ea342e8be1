// korvo32: one player per settings folder; a later start brings the running one to the front.

#include "korvoversion.h"

#include "core/app.h"
#include "core/playersession.h"
#include "platform/alsamixer.h"
#include "platform/cdaudiofactory.h"
#include "platform/fontresource.h"
#include "platform/mprisservice.h"
#include "platform/playout.h"
#include "platform/ripcommand.h"
#include "platform/shutdownnotifier.h"
#include "platform/singleinstance.h"
#include "ui/mainframe.h"
#include "ui/messageboxreporter.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // The rest of a disc a closing player left playing, in this program without a window.
    if (const std::optional<int> status = RunPlayOutIfAsked(argc, argv))
        return *status;
    // Copying or checking a disc without a window, beside any running player.
    if (const std::optional<int> status = TRipCommand::RunIfAsked(argc, argv))
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
    TPlayerSession session(app, CreateCDAudioService(), volumeDevices);
    TMainFrame frame(session);
    QObject::connect(&instance, &TSingleInstance::activationRequested, &frame,
                     &TMainFrame::Activate);
    QObject::connect(&shutdown, &TShutdownNotifier::shutdownRequested, &frame,
                     &TMainFrame::Terminate);
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &frame,
                     &TMainFrame::SessionEnding);
    TMprisService mpris(session);
    mpris.RegisterOnSessionBus();
    frame.show();
    return application.exec();
}
