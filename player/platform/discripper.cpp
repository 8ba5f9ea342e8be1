#include "platform/discripper.h"

#include "korvoversion.h"

#include "core/accuraterip.h"
#include "core/crc32.h"
#include "core/cuesheetwriter.h"
#include "core/discids.h"
#include "core/riplog.h"
#include "core/ripnames.h"
#include "platform/ripreader.h"
#include "platform/trackencoder.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

QString TRipTrackResult::Text() const {
    switch (Status) {
    case TStatus::Matched:
        return QStringLiteral("Copied - test and copy match");
    case TStatus::Copied:
        return QStringLiteral("Copied - no errors");
    case TStatus::Errors:
        return QStringLiteral("Errors at ") + ErrorAt;
    case TStatus::NotCopied:
        break;
    }
    return QStringLiteral("Not copied");
}

namespace {
bool Good(const TRipTrackResult& r) {
    return r.Status == TRipTrackResult::TStatus::Matched ||
           r.Status == TRipTrackResult::TStatus::Copied;
}
} // namespace

bool TRipReport::AllGood() const {
    return !Cancelled && Message.isEmpty() && !Tracks.isEmpty() &&
           std::all_of(Tracks.begin(), Tracks.end(), Good);
}

QString TRipReport::Summary() const {
    if (AllGood())
        return QStringLiteral("All tracks copied without errors");
    QStringList bad;
    for (const TRipTrackResult& r : Tracks)
        if (!Good(r))
            bad << QString::number(r.Track);
    if (bad.isEmpty())
        return QStringLiteral("There were errors");
    return QStringLiteral("There were errors in %1 %2")
        .arg(bad.size() == 1 ? QStringLiteral("track") : QStringLiteral("tracks"),
             bad.join(QStringLiteral(", ")));
}

namespace {

constexpr int kFrames = TDiscToc::kFramesPerSector;
// Frames handed to the checksums and the encoder at a time: 64 sectors.
constexpr qint64 kChunkFrames = 64 * kFrames;
// The log lists this many suspicious positions of a track, then how many more there were.
constexpr int kMostPositionsListed = 50;

// What one read of a track gave.
struct TPass {
    enum class TEnd { Done, Cancelled, ReadFailed, WriteFailed } end = TEnd::Done;
    qint64 failedFrame = 0; // within the track, for ReadFailed
    quint32 crc = 0;
    std::vector<quint32> sectorCrcs; // per 588 frames of the track, to place a mismatch
    quint32 arV1 = 0, arV2 = 0;
    int peak = 0;
    qint64 silence = 0;
};

// One copy of a disc from start to end, on the ripper's worker thread.
class TRipJob {
public:
    using TProgress = std::function<void(double, double, double, int)>;
    using TTrackStarted = std::function<void(int, int, int, QString)>;

    TRipJob(const TRipOptions& options, const std::atomic_bool& cancel, TTrackStarted started,
            TProgress progress)
        : FOptions(options), FCancel(cancel), FStarted(std::move(started)),
          FProgress(std::move(progress)) {}

    TRipReport Run();

private:
    QString TrackTitle(int t) const;
    TPass Read(int t, TTrackEncoder* encoder);
    void Report(qint64 trackDone, qint64 trackFrames, bool force);
    TRipLogTrack CopyTrack(int t, int index, int count, TRipTrackResult& result);

    const TRipOptions& FOptions;
    const std::atomic_bool& FCancel;
    TTrackStarted FStarted;
    TProgress FProgress;
    std::unique_ptr<TRipReader> FReader;
    TDiscToc FToc;
    QString FAlbum;
    QString FFolder;
    int FFirstAudio = 0, FLastAudio = 0, FAudioCount = 0;
    qint64 FTotalFrames = 0; // over every pass
    qint64 FDoneFrames = 0;
    QElapsedTimer FClock;
    qint64 FLastReport = -1000;
    QString FMessage;
    bool FCancelled = false;
    bool FStop = false;
};

QString TRipJob::TrackTitle(int t) const {
    if (t - 1 < FOptions.TrackTitles.size() && !FOptions.TrackTitles.at(t - 1).isEmpty())
        return FOptions.TrackTitles.at(t - 1);
    if (!FToc.Track(t).title.isEmpty())
        return FToc.Track(t).title;
    return QStringLiteral("Track %1").arg(t, 2, 10, QLatin1Char('0'));
}

void TRipJob::Report(qint64 trackDone, qint64 trackFrames, bool force) {
    const qint64 now = FClock.elapsed();
    if (!force && now - FLastReport < 100)
        return;
    FLastReport = now;
    const double seconds = std::max<qint64>(now, 1) / 1000.0;
    const double speed = FDoneFrames / 44100.0 / seconds;
    const double rate = FDoneFrames / seconds; // frames per second
    const int left = rate > 0 ? int((FTotalFrames - FDoneFrames) / rate + 0.5) : 0;
    FProgress(trackFrames ? double(trackDone) / trackFrames : 1.0,
              FTotalFrames ? double(FDoneFrames) / FTotalFrames : 1.0, speed, left);
}

// Reads track t once, shifted by the read offset: with an encoder this is the copy (checksums
// and file), without it the test read (CRCs only).
TPass TRipJob::Read(int t, TTrackEncoder* encoder) {
    TPass pass;
    const qint64 start = qint64(FToc.Track(t).firstSector) * kFrames + FOptions.ReadOffset;
    const qint64 end =
        qint64(t < FToc.TrackCount() ? FToc.Track(t + 1).firstSector : FToc.LeadoutSector()) *
            kFrames +
        FOptions.ReadOffset;
    const qint64 discEnd = qint64(FToc.LeadoutSector()) * kFrames;
    const qint64 frames = end - start;
    TCrc32 crc;
    TAccurateRip ar(frames, t == FFirstAudio, t == FLastAudio);
    int peak = 0;
    pass.sectorCrcs.reserve(size_t((frames + kFrames - 1) / kFrames));
    for (qint64 pos = start; pos < end;) {
        if (FCancel.load()) {
            pass.end = TPass::TEnd::Cancelled;
            return pass;
        }
        const qint64 chunkEnd = std::min(end, pos + kChunkFrames);
        QByteArray chunk(int((chunkEnd - pos) * TDiscToc::kBytesPerFrame), Qt::Uninitialized);
        auto* out = reinterpret_cast<qint16*>(chunk.data());
        while (pos < chunkEnd) {
            if (pos < 0 || pos >= discEnd) {
                // Outside the disc: silence, as far as the chunk or the disc's start.
                const qint64 n = (pos < 0 ? std::min<qint64>(chunkEnd, 0) : chunkEnd) - pos;
                std::fill(out, out + 2 * n, qint16(0));
                out += 2 * n;
                pos += n;
                pass.silence += n;
                continue;
            }
            const qint64 within = pos % kFrames;
            const qint64 n = std::min({kFrames - within, chunkEnd - pos, discEnd - pos});
            const qint16* sector = FReader->Read(qint32(pos / kFrames));
            if (!sector) {
                pass.end = TPass::TEnd::ReadFailed;
                pass.failedFrame = pos - start;
                return pass;
            }
            std::copy(sector + 2 * within, sector + 2 * (within + n), out);
            out += 2 * n;
            pos += n;
        }
        // Checksums here, on the reading thread, so that the encoder only encodes.
        crc.Add(chunk.constData(), chunk.size());
        // Per-sector CRCs only place a difference between the test and the copy.
        for (qint64 b = 0; FOptions.TestAndCopy && b < chunk.size(); b += TDiscToc::kBytesPerSector)
            pass.sectorCrcs.push_back(TCrc32::Of(QByteArray::fromRawData(
                chunk.constData() + b,
                int(std::min<qint64>(TDiscToc::kBytesPerSector, chunk.size() - b)))));
        const auto* samples = reinterpret_cast<const qint16*>(chunk.constData());
        const qint64 count = chunk.size() / TDiscToc::kBytesPerFrame;
        if (encoder) {
            ar.Add(samples, count);
            for (qint64 i = 0; i < 2 * count; ++i)
                peak = std::max(peak, std::abs(int(samples[i])));
            if (!encoder->Push(std::move(chunk))) {
                pass.end = TPass::TEnd::WriteFailed;
                return pass;
            }
        }
        FDoneFrames += count;
        Report(pos - start, frames, false);
    }
    pass.crc = crc.Value();
    pass.arV1 = ar.V1();
    pass.arV2 = ar.V2();
    pass.peak = peak;
    return pass;
}

TRipLogTrack TRipJob::CopyTrack(int t, int index, int count, TRipTrackResult& result) {
    using TStatus = TRipTrackResult::TStatus;
    const QString title = TrackTitle(t);
    FStarted(index, count, t, title);
    const qint32 first = FToc.Track(t).firstSector;
    const qint32 next =
        t < FToc.TrackCount() ? FToc.Track(t + 1).firstSector : FToc.LeadoutSector();
    // The sectors a shifted read touches, for sorting out what paranoia found.
    const qint32 offsetSectors = (std::abs(FOptions.ReadOffset) + kFrames - 1) / kFrames;
    const qint32 from = first - offsetSectors, to = next + offsetSectors;
    FReader->TakeStats(0, from); // forget what belongs to earlier tracks

    TRipLogTrack entry;
    entry.track = t;
    result.Track = t;
    result.Status = TStatus::NotCopied;
    auto time = [](qint64 frame) { return TRipLog::SectorTime(frame / kFrames); };
    auto stop = [&](const TPass& pass, TTrackEncoder* encoder) {
        switch (pass.end) {
        case TPass::TEnd::Cancelled:
            FCancelled = FStop = true;
            FMessage = QStringLiteral("The copy was cancelled.");
            entry.status = result.Text();
            return true;
        case TPass::TEnd::WriteFailed:
            FStop = true;
            FMessage = QStringLiteral("Could not write \"%1\": %2")
                           .arg(QDir(FFolder).filePath(TRipNames::TrackFileName(
                                    t, title,
                                    FOptions.Format == TRipOptions::TFormat::Flac
                                        ? QStringLiteral("flac")
                                        : QStringLiteral("wav"))),
                                encoder ? encoder->Error() : QString());
            entry.status = result.Text();
            return true;
        case TPass::TEnd::ReadFailed:
            result.Status = TStatus::Errors;
            result.ErrorAt = time(pass.failedFrame);
            entry.status = result.Text();
            return true;
        case TPass::TEnd::Done:
            break;
        }
        return false;
    };

    TRipReader::TStats stats;
    std::optional<TPass> test;
    if (FOptions.TestAndCopy) {
        test = Read(t, nullptr);
        stats = FReader->TakeStats(from, to);
        if (stop(*test, nullptr)) {
            entry.skips = stats.skips;
            entry.rereads = stats.rereads;
            return entry;
        }
        entry.testCrc = test->crc;
    }

    const QString extension = FOptions.Format == TRipOptions::TFormat::Flac ? QStringLiteral("flac")
                                                                            : QStringLiteral("wav");
    const QString name = TRipNames::TrackFileName(t, title, extension);
    TTrackEncoder encoder(QDir(FFolder).filePath(name), FOptions.Format,
                          {title, FAlbum, TDiscIds::MusicBrainz(FToc), t, FAudioCount});
    if (!encoder.Open()) {
        FStop = true;
        FMessage = QStringLiteral("Could not write \"%1\": %2")
                       .arg(QDir(FFolder).filePath(name), encoder.Error());
        entry.status = result.Text();
        return entry;
    }
    TPass copy = Read(t, &encoder);
    const TRipReader::TStats copyStats = FReader->TakeStats(from, to);
    stats.rereads += copyStats.rereads;
    stats.skips += copyStats.skips;
    if (stats.firstSkip < 0 || (copyStats.firstSkip >= 0 && copyStats.firstSkip < stats.firstSkip))
        stats.firstSkip = copyStats.firstSkip;
    stats.suspicious += copyStats.suspicious;
    std::sort(stats.suspicious.begin(), stats.suspicious.end());
    stats.suspicious.erase(std::unique(stats.suspicious.begin(), stats.suspicious.end()),
                           stats.suspicious.end());
    entry.rereads = stats.rereads;
    entry.skips = stats.skips;
    for (qint32 s : std::as_const(stats.suspicious)) {
        if (entry.suspicious.size() == kMostPositionsListed) {
            entry.suspicious << QStringLiteral("and %1 more")
                                    .arg(stats.suspicious.size() - kMostPositionsListed);
            break;
        }
        entry.suspicious << time(
            std::max<qint64>(0, qint64(s - first) * kFrames - FOptions.ReadOffset));
    }
    if (copy.end == TPass::TEnd::Done && !encoder.Finish())
        copy.end = TPass::TEnd::WriteFailed;
    if (copy.end != TPass::TEnd::Done) {
        encoder.Abort();
        stop(copy, &encoder);
        return entry;
    }
    result.File = QDir(FFolder).filePath(name);
    entry.file = name;
    entry.copyCrc = copy.crc;
    entry.arV1 = copy.arV1;
    entry.arV2 = copy.arV2;
    entry.peak = copy.peak * 100.0 / 32768.0;
    entry.silence = copy.silence;
    if (stats.skips > 0) {
        result.Status = TStatus::Errors;
        result.ErrorAt = time(
            std::max<qint64>(0, qint64(stats.firstSkip - first) * kFrames - FOptions.ReadOffset));
    } else if (test && test->crc != copy.crc) {
        result.Status = TStatus::Errors;
        const auto mismatch = std::mismatch(test->sectorCrcs.begin(), test->sectorCrcs.end(),
                                            copy.sectorCrcs.begin(), copy.sectorCrcs.end());
        result.ErrorAt = time(qint64(mismatch.first - test->sectorCrcs.begin()) * kFrames);
    } else {
        result.Status = test ? TStatus::Matched : TStatus::Copied;
    }
    entry.status = result.Text();
    return entry;
}

TRipReport TRipJob::Run() {
    TRipReport report;
    FClock.start();
    FReader = TRipReader::Open(FOptions.Source);
    if (FReader)
        FToc = FReader->Toc();
    QList<int> chosen;
    for (int t = 1; t <= FToc.TrackCount(); ++t) {
        if (!FToc.Track(t).audio)
            continue;
        FFirstAudio = FFirstAudio ? FFirstAudio : t;
        FLastAudio = t;
        ++FAudioCount;
        if (FOptions.Tracks.isEmpty() || FOptions.Tracks.contains(t))
            chosen << t;
    }
    if (FAudioCount == 0) {
        report.NoDisc = true;
        report.Message =
            FOptions.Source.isEmpty()
                ? QStringLiteral("There is no audio disc in the drive.")
                : QStringLiteral("There is no audio disc in \"%1\".").arg(FOptions.Source);
        return report;
    }
    for (int t : FOptions.Tracks) {
        if (!chosen.contains(t)) {
            report.Message = QStringLiteral("The disc has no audio track %1.").arg(t);
            return report;
        }
    }
    FAlbum = !FOptions.AlbumTitle.isEmpty() ? FOptions.AlbumTitle
             : !FToc.Title().isEmpty()      ? FToc.Title()
                                            : QStringLiteral("Unknown Album");
    FFolder = TRipNames::MakeAlbumFolder(
        QDir(FOptions.Destination), FOptions.AlbumFolder.isEmpty() ? FAlbum : FOptions.AlbumFolder);
    if (FFolder.isEmpty()) {
        report.Message =
            QStringLiteral("Could not make a folder in \"%1\".").arg(FOptions.Destination);
        return report;
    }
    report.Folder = FFolder;
    for (int t : std::as_const(chosen)) {
        const qint32 next =
            t < FToc.TrackCount() ? FToc.Track(t + 1).firstSector : FToc.LeadoutSector();
        FTotalFrames +=
            qint64(next - FToc.Track(t).firstSector) * kFrames * (FOptions.TestAndCopy ? 2 : 1);
    }

    TRipLog log;
    log.program = QStringLiteral("korvo32 " KORVO_VERSION);
    log.date =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss 'UTC'"));
    log.source = FOptions.Source.isEmpty() ? QStringLiteral("the default drive")
                 : QFileInfo(FOptions.Source).isFile()
                     ? FOptions.Source + QStringLiteral(" (image)")
                     : FOptions.Source;
    log.readMode = QFileInfo(FOptions.Source).isFile()
                       ? QStringLiteral("image, a sector at a time (nothing to correct)")
                       : QStringLiteral("secure (libcdio-paranoia, full verification)");
    log.readOffset = FOptions.ReadOffset;
    log.testAndCopy = FOptions.TestAndCopy;
    log.format = FOptions.Format == TRipOptions::TFormat::Flac
                     ? QStringLiteral("FLAC, compression level 5")
                     : QStringLiteral("WAV, 16-bit stereo 44100 Hz");
    log.toc = FToc;
    QList<TCueSheetWriter::TEntry> cue;
    for (int i = 0; i < chosen.size(); ++i) {
        const int t = chosen[i];
        TRipTrackResult result;
        result.Track = t;
        if (FStop) {
            report.Tracks << result;
            continue;
        }
        const TRipLogTrack entry = CopyTrack(t, i + 1, int(chosen.size()), result);
        report.Tracks << result;
        log.tracks << entry;
        if (!result.File.isEmpty())
            cue.append({entry.file, TrackTitle(t)});
        else if (result.Status == TRipTrackResult::TStatus::Errors)
            log.notes << QStringLiteral("Track %1 could not be read at %2; no file of it was "
                                        "kept.")
                             .arg(t)
                             .arg(result.ErrorAt);
        if (FStop)
            log.notes << QStringLiteral("%1 The unfinished file of track %2 was removed.")
                             .arg(FMessage)
                             .arg(t);
    }
    Report(0, 0, true);
    report.Cancelled = FCancelled;
    report.Message = FMessage;
    log.verdict = report.Summary();

    const QString base = TRipNames::CleanName(FAlbum);
    QString error;
    if (!TCueSheetWriter::Write(QDir(FFolder).filePath(base + QStringLiteral(".cue")), FAlbum, cue,
                                &error) &&
        report.Message.isEmpty())
        report.Message = QStringLiteral("Could not write the CUE sheet: %1").arg(error);
    const QString logPath = QDir(FFolder).filePath(base + QStringLiteral(".log"));
    if (log.Write(logPath, &error))
        report.LogPath = logPath;
    else if (report.Message.isEmpty())
        report.Message = QStringLiteral("Could not write the log: %1").arg(error);
    return report;
}

} // namespace

TDiscRipper::TDiscRipper(TRipOptions options, QObject* parent)
    : QObject(parent), FOptions(std::move(options)) {
    qRegisterMetaType<TRipReport>();
}

TDiscRipper::~TDiscRipper() {
    if (FWorker) {
        FCancel = true;
        FWorker->wait();
        delete FWorker;
    }
}

bool TDiscRipper::Running() const {
    return FWorker != nullptr;
}

void TDiscRipper::Cancel() {
    FCancel = true;
}

void TDiscRipper::Start() {
    if (FWorker)
        return;
    FCancel = false;
    FWorker = QThread::create([this] {
        TRipJob job(
            FOptions, FCancel,
            [this](int index, int count, int track, QString title) {
                QMetaObject::invokeMethod(
                    this, [=] { emit trackStarted(index, count, track, title); },
                    Qt::QueuedConnection);
            },
            [this](double track, double disc, double speed, int left) {
                QMetaObject::invokeMethod(
                    this, [=] { emit progress(track, disc, speed, left); }, Qt::QueuedConnection);
            });
        FReport = job.Run();
    });
    connect(FWorker, &QThread::finished, this, [this] {
        FWorker->deleteLater();
        FWorker = nullptr;
        emit finished(FReport);
    });
    FWorker->start();
}
