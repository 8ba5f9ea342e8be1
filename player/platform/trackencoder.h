#pragma once
// Writes one track's file on a worker thread so that encoding never holds up the reading: the
// reader pushes blocks of 16-bit stereo and goes on. The file is written under a hidden
// temporary name (".NAME.part") and gets its real name only in Finish(), after its last byte and
// its tags are on disk; Abort() or destruction without Finish() removes it.

#include "core/ripoptions.h"
#include "platform/flactags.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TTrackEncoder {
public:
    struct TTags {
        QString title, album, discId;
        int track = 0, total = 0;
    };

    TTrackEncoder(QString path, TRipOptions::TFormat format, TTags tags);
    ~TTrackEncoder();

    // Creates the temporary file and starts the worker; false with the reason in Error().
    bool Open();
    // Host-order interleaved 16-bit stereo; waits while the worker is far behind. False once
    // writing has failed.
    bool Push(QByteArray frames);
    // Waits for the worker, closes, tags and renames the file; false with the reason in Error().
    bool Finish();
    void Abort();
    QString Error() const;
    const QString& TemporaryPath() const { return FTemporary; }

private:
    void Work();
    void Stop();

    QString FPath;
    QString FTemporary;
    TRipOptions::TFormat FFormat;
    TTags FTags;
    struct sf_private_tag* FFile = nullptr;
    std::thread FWorker;
    mutable std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<QByteArray> FQueue;
    bool FClosing = false;
    bool FFailed = false;
    QString FError;
};
