#pragma once
// One player per settings folder. The first start holds a lock file and listens on a local socket;
// a later start with the same settings folder finds the lock taken, asks the running player to come
// to the front and ends. Both names derive from the folder (and the user), so players with
// different KORVO_HOMEs run side by side.

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

class TSingleInstance : public QObject {
    Q_OBJECT

public:
    explicit TSingleInstance(const QString& settingsFolder, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True: this process is the player of its folder and now listens for later starts. False:
    // another player runs (it has been asked to come to the front); this process should end.
    bool Claim();

    const QString& ServerName() const { return FName; }

signals:
    // A later start asked this player to come to the front.
    void activationRequested();

private:
    void Answer();

    QString FName;
    std::unique_ptr<QLockFile> FLock;
    QLocalServer* FServer = nullptr;
};
