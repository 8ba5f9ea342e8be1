#include "platform/audiofiledisc.h"

#include "platform/audiocuesheet.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

#include <cstring>
#include <limits>

namespace {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr qint64 kFramesPerSector = TDiscToc::kFramesPerSector;
// Far beyond any disc, and still clear of qint32 sector numbers.
constexpr qint64 kMostSectors = std::numeric_limits<qint32>::max() / 2;

qint64 SectorsOf(qint64 frames) {
    return (frames + kFramesPerSector - 1) / kFramesPerSector;
}

struct TSoundFileClose {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using TSoundFile = std::unique_ptr<SNDFILE, TSoundFileClose>;

// libsndfile's reason for the last file it could not open, without its closing full stop.
QString SoundError() {
    QString text = QString::fromLocal8Bit(sf_strerror(nullptr)).trimmed();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QString Channels(int channels) {
    return channels == 1   ? QStringLiteral("mono")
           : channels == 2 ? QStringLiteral("stereo")
                           : QStringLiteral("with %1 channels").arg(channels);
}

TSoundFile OpenSound(const QString& path, SF_INFO& info) {
    info = SF_INFO{};
    return TSoundFile(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
}
} // namespace

TAudioFileDisc TAudioFileDisc::Open(const TAudioCueSheet& sheet) {
    TAudioFileDisc disc;
    for (const TAudioCueSheet::TFile& file : sheet.Files())
        disc.FFiles << file.path;
    disc.FError = sheet.Error();
    if (!disc.FError.isEmpty())
        return disc;
    const QString& sheetName = sheet.SheetName();
    auto fail = [&disc, &sheetName](const QString& file, const QString& why) {
        disc.FError = QStringLiteral("The file \"%1\" named by the cue sheet \"%2\" %3.")
                          .arg(file, sheetName, why);
        return disc;
    };
    qint64 sector = 0;
    for (const TAudioCueSheet::TFile& file : sheet.Files()) {
        const QFileInfo info(file.path);
        if (!info.isFile())
            return fail(file.name, QStringLiteral("is missing"));
        SF_INFO format;
        const TSoundFile sound = OpenSound(file.path, format);
        if (!sound)
            return fail(file.name,
                        QStringLiteral("cannot be read as sound (%1)").arg(SoundError()));
        if (format.samplerate != kRate || format.channels != kChannels)
            return fail(file.name, QStringLiteral("is %1 Hz %2; a disc needs 44100 Hz stereo")
                                       .arg(format.samplerate)
                                       .arg(Channels(format.channels)));
        if (format.frames < 0 || sector + SectorsOf(format.frames) > kMostSectors)
            return fail(file.name, QStringLiteral("is longer than any disc"));
        disc.FSpans.append({file.path, qint32(sector), format.frames, info.size()});
        sector += SectorsOf(format.frames);
    }
    QVector<TTocTrack> tracks;
    for (const TAudioCueSheet::TTrack& track : sheet.Tracks()) {
        const TSpan& span = disc.FSpans.at(track.file);
        if (track.start >= SectorsOf(span.frames))
            return fail(sheet.Files().at(track.file).name,
                        QStringLiteral("ends before track %1 starts").arg(track.number));
        tracks.append({span.firstSector + track.start, track.audio, track.title});
    }
    disc.FToc = TDiscToc(tracks, qint32(sector), sheet.Title());
    if (!disc.FToc.IsValid())
        disc.FError = QStringLiteral("The tracks of the cue sheet \"%1\" overlap.").arg(sheetName);
    return disc;
}

TSectorReaderFactory TAudioFileDisc::Reader() const {
    if (!IsValid())
        return [] { return std::unique_ptr<TSectorReader>(); };
    return [spans = FSpans]() -> std::unique_ptr<TSectorReader> {
        return std::make_unique<TAudioFileSectorReader>(spans);
    };
}

struct TAudioFileSectorReader::TOpenFile {
    TSoundFile sound;
    qint64 next = 0; // the frame a read continues from without seeking (FLAC seeks are slow)
};

TAudioFileSectorReader::TAudioFileSectorReader(QList<TAudioFileDisc::TSpan> spans)
    : FSpans(std::move(spans)), FOpen(FSpans.size()) {
    if (!FSpans.isEmpty())
        FLeadout = qint32(FSpans.last().firstSector + SectorsOf(FSpans.last().frames));
}

TAudioFileSectorReader::~TAudioFileSectorReader() = default;

bool TAudioFileSectorReader::ReadSpan(int span, qint64 frame, qint64 frames, qint16* out) {
    const TAudioFileDisc::TSpan& file = FSpans.at(span);
    std::unique_ptr<TOpenFile>& open = FOpen[span];
    if (!open) {
        SF_INFO format;
        TSoundFile sound = OpenSound(file.path, format);
        if (!sound || format.samplerate != kRate || format.channels != kChannels ||
            format.frames != file.frames)
            return false;
        open = std::make_unique<TOpenFile>();
        open->sound = std::move(sound);
    }
    const bool read =
        (open->next == frame || sf_seek(open->sound.get(), frame, SEEK_SET) == sf_count_t(frame)) &&
        sf_readf_short(open->sound.get(), out, frames) == sf_count_t(frames);
    // Checked after reading, so a file cut short during the read is caught too.
    const QFileInfo now(file.path);
    if (!read || !now.exists() || now.size() != file.bytes) {
        open.reset();
        return false;
    }
    open->next = frame + frames;
    return true;
}

bool TAudioFileSectorReader::Read(qint32 lsn, int count, char* out) {
    if (lsn < 0 || count <= 0 || qint64(lsn) + count > FLeadout)
        return false;
    auto* samples = reinterpret_cast<qint16*>(out);
    const qint64 end = qint64(lsn) + count;
    qint64 sector = lsn;
    int span = 0;
    while (sector < end) {
        const TAudioFileDisc::TSpan& file = FSpans.at(span);
        const qint64 spanEnd = file.firstSector + SectorsOf(file.frames);
        if (sector >= spanEnd) {
            ++span;
            continue;
        }
        const qint64 upto = qMin(end, spanEnd);
        const qint64 frame = (sector - file.firstSector) * kFramesPerSector;
        const qint64 wanted = (upto - sector) * kFramesPerSector;
        const qint64 fromFile = qBound<qint64>(0, file.frames - frame, wanted);
        if (fromFile > 0 && !ReadSpan(span, frame, fromFile, samples))
            return false;
        std::memset(samples + fromFile * kChannels, 0,
                    size_t(wanted - fromFile) * TDiscToc::kBytesPerFrame);
        samples += wanted * kChannels;
        sector = upto;
    }
    return true;
}
