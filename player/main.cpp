// korvo32: one player per settings folder; a later start brings the running one to the front.

#include "core/app.h"
#include "platform/alsamixer.h"
#include "platform/cdaudiofactory.h"
#include "platform/fontresource.h"
#include "platform/shutdownnotifier.h"
#include "platform/singleinstance.h"
#include "ui/mainframe.h"
#include "ui/messageboxreporter.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(TApp::Name());
    TApp app(QCoreApplication::applicationFilePath());
    TMessageBoxReporter reporter;
    TReporter::Install(&reporter);

    TSingleInstance instance(app.DataDirectory());
    if (!instance.Claim())
        return 0;

    TFontResource ledFont(QStringLiteral("trxft2.ttc"),
                          {app.ModuleDirectory(), QStringLiteral(KORVO_DATA_DIR)});
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
    frame.show();
    return application.exec();
}
