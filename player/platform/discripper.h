#pragma once
// Copies a disc's audio tracks to files and proves the copy: secure reads through
// libcdio-paranoia, an optional second read whose CRC must match, CRC32 and AccurateRip
// checksums computed while reading, encoding (FLAC or WAV) on a worker, a CUE sheet and a log.
// Files are written under a temporary name and renamed when complete; a cancelled or failed
// track leaves no file behind. The album folder is always a new one (" (2)", " (3)"... when
// the name is taken).

#include "core/ripoptions.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <atomic>

struct TRipTrackResult {
    enum class TStatus { Matched, Copied, Errors, NotCopied };
    int Track = 0;
    QString File; // full path of the written file; empty when not copied
    TStatus Status = TStatus::NotCopied;
    QString ErrorAt; // "3:12.40" (minutes:seconds.frames within the track) for Errors
    // "Copied - test and copy match", "Copied - no errors", "Errors at 3:12.40", "Not copied"
    QString Text() const;
};

struct TRipReport {
    QList<TRipTrackResult> Tracks;
    QString Folder;  // the album folder made (empty when none was made)
    QString LogPath; // empty when no log was written
    bool Cancelled = false;
    QString Message;     // what went wrong, for a message box; empty when nothing did
    bool NoDisc = false; // there was no audio disc to copy (Message says so)
    // Every chosen track copied without errors.
    bool AllGood() const;
    // One line: "All tracks copied without errors" or "There were errors in tracks 2, 5".
    QString Summary() const;
};
Q_DECLARE_METATYPE(TRipReport)

class QThread;

class TDiscRipper : public QObject {
    Q_OBJECT
public:
    explicit TDiscRipper(TRipOptions options, QObject* parent = nullptr);
    ~TDiscRipper() override;

    // Returns at once; the work happens on workers and the signals arrive on this thread.
    void Start();
    void Cancel();
    bool Running() const;

signals:
    // "Track 3 of 12 - Title"
    void trackStarted(int index, int count, int track, const QString& title);
    // speed: 14.2 means 14.2 times playing speed
    void progress(double trackFraction, double discFraction, double speed, int secondsLeft);
    void finished(const TRipReport& report);

private:
    TRipOptions FOptions;
    QThread* FWorker = nullptr;
    std::atomic_bool FCancel{false};
    TRipReport FReport; // written by the worker, read once it has finished
};
