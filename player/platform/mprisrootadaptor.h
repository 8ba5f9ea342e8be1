#pragma once
// org.mpris.MediaPlayer2 on the MPRIS service's object: who the player is and the two requests
// about its window.

#include "platform/mprisservice.h"

#include <QDBusAbstractAdaptor>
#include <QStringList>

class TMprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    explicit TMprisRootAdaptor(TMprisService* service)
        : QDBusAbstractAdaptor(service), FService(service) {}

    QString Identity() const { return QStringLiteral("Korvo"); }
    // The name of the desktop file the player installs, without ".desktop".
    QString DesktopEntry() const { return QStringLiteral("org.audiosuite.Korvo"); }
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    // The player plays discs, never URIs or files.
    QStringList SupportedUriSchemes() const { return {}; }
    QStringList SupportedMimeTypes() const { return {}; }

public slots:
    void Raise() { FService->Raise(); }
    void Quit() { FService->Quit(); }

private:
    TMprisService* FService;
};
