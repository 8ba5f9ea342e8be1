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
        : QDBusAbstractAdaptor(service), m_service(service) {
        connect(service, &TMprisService::Seeked, this, &TMprisPlayerAdaptor::Seeked);
    }

    QString PlaybackStatus() const { return m_service->PlaybackStatus(); }
    QString LoopStatus() const { return m_service->LoopStatus(); }
    void SetLoopStatus(const QString& status) { m_service->SetLoopStatus(status); }
    bool Shuffle() const { return m_service->Shuffle(); }
    void SetShuffle(bool on) { m_service->SetShuffle(on); }
    double Volume() const { return m_service->Volume(); }
    void SetVolume(double volume) { m_service->SetVolume(volume); }
    double Rate() const { return 1.0; }
    // Only normal speed: any other rate is ignored.
    void SetRate(double) {}
    QVariantMap Metadata() const { return m_service->Metadata(); }
    qlonglong Position() const { return m_service->Position(); }
    bool CanGoNext() const { return m_service->CanGoNext(); }
    bool CanGoPrevious() const { return m_service->CanGoPrevious(); }
    bool CanPlay() const { return m_service->CanPlay(); }
    bool CanPause() const { return m_service->CanPause(); }
    bool CanSeek() const { return m_service->CanSeek(); }
    bool CanControl() const { return true; }

public slots:
    void Play() { m_service->Play(); }
    void Pause() { m_service->Pause(); }
    void PlayPause() { m_service->PlayPause(); }
    void Stop() { m_service->Stop(); }
    void Next() { m_service->Next(); }
    void Previous() { m_service->Previous(); }
    void Seek(qlonglong offset) { m_service->Seek(offset); }
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
        m_service->SetPosition(trackId, position);
    }
    // No URI scheme is supported, so there is nothing to open.
    void OpenUri(const QString&) {}

signals:
    void Seeked(qlonglong position);

private:
    TMprisService* m_service;
};
