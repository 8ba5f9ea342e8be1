#include "core/displayfields.h"

QString StatusWord(int controlId) {
    switch (controlId) {
    case WordPlay:
        return QStringLiteral("PLAY");
    case WordPause:
        return QStringLiteral("PAUSE");
    case WordRepeat:
        return QStringLiteral("REPEAT");
    case WordMute:
        return QStringLiteral("MUTE");
    case WordLoop:
        return QStringLiteral("LOOP");
    case WordRandom:
        return QStringLiteral("RANDOM");
    default:
        return QString();
    }
}

QString FormatTime(int seconds) {
    return QString::asprintf("%.2d:%.2d", seconds / 60, seconds % 60);
}

QString FormatCount(int value) {
    return QString::asprintf("%.2d", value);
}
