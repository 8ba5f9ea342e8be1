// WLPRO, the sample editor: the application, the real wave devices of the sound server, the
// desktop's clipboard, the settings folder, the message boxes; then the frame with an empty
// document and the files named on the command line.

#include "wlproversion.h"

#include "ui/apptitle.h"
#include "ui/guireporter.h"
#include "ui/mainframe.h"
#include "ui/wlproapp.h"

#include "platform/qtclipboardaccess.h"
#include "platform/qtwavedevicefactory.h"
#include "platform/settingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication::setApplicationName(QStringLiteral("WLPRO"));
    QApplication::setApplicationVersion(QStringLiteral(WLPRO_VERSION));
    // Answered before the application object, so that asking needs no display.
    if (argc == 2 && qstrcmp(argv[1], "--version") == 0) {
        QTextStream(stdout) << QApplication::applicationName() << ' '
                            << QApplication::applicationVersion() << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.audiosuite.Wavelathe"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/wlpro/icons/wlpro.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(AppTitle());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("Sample files to open."),
                                 QStringLiteral("[files...]"));
    parser.process(application);

    CQtWaveDeviceFactory devices;
    CWaveDeviceFactory::Install(&devices);
    CQtClipboardAccess clipboard;
    CClipboardAccess::Install(&clipboard);
    CGuiReporter reporter(nullptr);
    CWlproApp wlpro(CSettingsStore::Instance());
    if (!wlpro.Start(parser.positionalArguments()))
        return 1;
    reporter.SetOwner(wlpro.Frame());
    const int result = QApplication::exec();
    CClipboardAccess::Install(nullptr);
    CWaveDeviceFactory::Install(nullptr);
    return result;
}
