#include "core/cdaudioservice.h"

QString TCDAudioService::ErrorText(quint32 code) {
    switch (static_cast<TCDError>(code)) {
    case TCDError::None:
        return QStringLiteral("The specified command was carried out.");
    case TCDError::Hardware:
        return QStringLiteral("The CD drive could not read the disc.");
    case TCDError::NoDevice:
        return QStringLiteral("There is no CD drive or disc image to play.");
    case TCDError::Unsupported:
        return QStringLiteral("The CD drive cannot carry out this command.");
    case TCDError::NotReady:
        return QStringLiteral("The CD drive is not ready. Insert a disc and close the tray.");
    case TCDError::OutOfRange:
        return QStringLiteral("The position is beyond the end of the disc.");
    case TCDError::NoSound:
        return QStringLiteral("There is no sound output to play the disc through.");
    case TCDError::InvalidTrack:
        return QStringLiteral("The disc has no such track.");
    case TCDError::DoorAlreadySet:
        return QStringLiteral("The tray is already in that position.");
    }
    return QString();
}
