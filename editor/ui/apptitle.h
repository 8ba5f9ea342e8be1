#pragma once
// The editor's name in captions and message boxes. Its own header, so that the windows and dialogs
// that show it need not include the application.

#include <QString>

inline QString AppTitle() {
    return QStringLiteral("Wavelathe Pro");
}
