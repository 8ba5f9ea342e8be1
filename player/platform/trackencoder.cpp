#include "platform/trackencoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

namespace {
// About three seconds of audio in flight between reader and encoder.
constexpr size_t kMaxQueued = 32;
// libsndfile maps 0..1 onto FLAC's levels 0..8; 5 is the flac tool's default.
constexpr double kFlacLevel5 = 5.0 / 8.0;
} // namespace

TTrackEncoder::TTrackEncoder(QString path, TRipOptions::TFormat format, TTags tags)
    : FPath(std::move(path)), FFormat(format), FTags(std::move(tags)) {
    const QFileInfo info(FPath);
    FTemporary = info.dir().filePath(QLatin1Char('.') + info.fileName() + QStringLiteral(".part"));
}

TTrackEncoder::~TTrackEncoder() {
    Abort();
}

bool TTrackEncoder::Open() {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 2;
    info.format = FFormat == TRipOptions::TFormat::Flac ? SF_FORMAT_FLAC | SF_FORMAT_PCM_16
                                                        : SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    FFile = sf_open(QFile::encodeName(FTemporary).constData(), SFM_WRITE, &info);
    if (!FFile) {
        FError = QString::fromLocal8Bit(sf_strerror(nullptr));
        return false;
    }
    if (FFormat == TRipOptions::TFormat::Flac) {
        double level = kFlacLevel5;
        sf_command(FFile, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }
    FWorker = std::thread([this] { Work(); });
    return true;
}

void TTrackEncoder::Work() {
    for (;;) {
        QByteArray block;
        {
            std::unique_lock lock(FLock);
            FChanged.wait(lock, [this] { return !FQueue.empty() || FClosing; });
            if (FQueue.empty())
                return;
            block = std::move(FQueue.front());
            FQueue.pop_front();
        }
        FChanged.notify_all();
        const sf_count_t frames = block.size() / 4;
        if (sf_writef_short(FFile, reinterpret_cast<const short*>(block.constData()), frames) !=
            frames) {
            std::lock_guard lock(FLock);
            FFailed = true;
            FError = QString::fromLocal8Bit(sf_strerror(FFile));
            FQueue.clear();
            FChanged.notify_all();
            return;
        }
    }
}

bool TTrackEncoder::Push(QByteArray frames) {
    std::unique_lock lock(FLock);
    FChanged.wait(lock, [this] { return FQueue.size() < kMaxQueued || FFailed; });
    if (FFailed)
        return false;
    FQueue.push_back(std::move(frames));
    lock.unlock();
    FChanged.notify_all();
    return true;
}

void TTrackEncoder::Stop() {
    {
        std::lock_guard lock(FLock);
        FClosing = true;
    }
    FChanged.notify_all();
    if (FWorker.joinable())
        FWorker.join();
}

bool TTrackEncoder::Finish() {
    Stop();
    if (!FFile)
        return false;
    const bool written = !FFailed;
    // Closing writes what the encoder still holds and the FLAC header.
    const int closed = sf_close(FFile);
    FFile = nullptr;
    if (written && closed != 0)
        FError = QString::fromLocal8Bit(sf_error_number(closed));
    bool ok = written && closed == 0;
    if (ok && FFormat == TRipOptions::TFormat::Flac)
        // libsndfile spells field names in lower case and has no TRACKTOTAL or
        // MUSICBRAINZ_DISCID, so the tags all go through libFLAC, spelled as players expect.
        ok = TFlacTags::Set(FTemporary,
                            {{QStringLiteral("TITLE"), FTags.title},
                             {QStringLiteral("ALBUM"), FTags.album},
                             {QStringLiteral("TRACKNUMBER"), QString::number(FTags.track)},
                             {QStringLiteral("TRACKTOTAL"), QString::number(FTags.total)},
                             {QStringLiteral("MUSICBRAINZ_DISCID"), FTags.discId}},
                            &FError);
    if (ok && !QFile::rename(FTemporary, FPath)) {
        FError = QStringLiteral("cannot rename %1").arg(FTemporary);
        ok = false;
    }
    if (!ok)
        QFile::remove(FTemporary);
    FTemporary.clear();
    return ok;
}

void TTrackEncoder::Abort() {
    {
        std::lock_guard lock(FLock);
        FQueue.clear();
    }
    Stop();
    if (FFile) {
        sf_close(FFile);
        FFile = nullptr;
    }
    if (!FTemporary.isEmpty())
        QFile::remove(FTemporary);
    FTemporary.clear();
}

QString TTrackEncoder::Error() const {
    std::lock_guard lock(FLock);
    return FError;
}
