// A second editor process for the clipboard tests: "copy" puts a clip on the system clipboard
// and keeps serving it until terminated; "paste" pastes whatever the clipboard holds and prints
// what it made of the target sample. The arguments are those of CTransfer.

#include "clipboardpeer.h"

#include "platform/qtclipboardaccess.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    CQtClipboardAccess clipboard;
    CClipboardAccess::Install(&clipboard);
    QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    const CTransfer transfer = CTransfer::FromArguments(arguments.mid(1));
    if (mode == QLatin1String("copy")) {
        if (!transfer.Copy())
            return 2;
        std::printf("copied\n");
        std::fflush(stdout);
        return app.exec();
    }
    if (mode == QLatin1String("paste")) {
        std::printf("%s\n", transfer.Paste().constData());
        return 0;
    }
    return 1;
}
