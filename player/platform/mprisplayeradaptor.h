#pragma once
// org.mpris.MediaPlayer2.Player on the MPRIS service's object: the transport, the current song
// and the play options, all passed on to the service. The rate is fixed at normal speed.

#include "platform/mprisservice.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class TMprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    explicit TMprisPlayerAdaptor(TMprisService* service)
        : QDBusAbstractAdaptor(service), FService(service) {
        connect(service, &TMprisService::Seeked, this, &TMprisPlayerAdaptor::Seeked);
    }

    QString PlaybackStatus() const { return FService->PlaybackStatus(); }
    QString LoopStatus() const { return FService->LoopStatus(); }
    void SetLoopStatus(const QString& status) { FService->SetLoopStatus(status); }
    bool Shuffle() const { return FService->Shuffle(); }
    void SetShuffle(bool on) { FService->SetShuffle(on); }
    double Volume() const { return FService->Volume(); }
    void SetVolume(double volume) { FService->SetVolume(volume); }
    double Rate() const { return 1.0; }
    // Only normal speed: any other rate is ignored.
    void SetRate(double) {}
    QVariantMap Metadata() const { return FService->Metadata(); }
    qlonglong Position() const { return FService->Position(); }
    bool CanGoNext() const { return FService->CanGoNext(); }
    bool CanGoPrevious() const { return FService->CanGoPrevious(); }
    bool CanPlay() const { return FService->CanPlay(); }
    bool CanPause() const { return FService->CanPause(); }
    bool CanSeek() const { return FService->CanSeek(); }
    bool CanControl() const { return true; }

public slots:
    void Play() { FService->Play(); }
    void Pause() { FService->Pause(); }
    void PlayPause() { FService->PlayPause(); }
    void Stop() { FService->Stop(); }
    void Next() { FService->Next(); }
    void Previous() { FService->Previous(); }
    void Seek(qlonglong offset) { FService->Seek(offset); }
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
        FService->SetPosition(trackId, position);
    }
    // No URI scheme is supported, so there is nothing to open.
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong position);

private:
    TMprisService* FService;
};
