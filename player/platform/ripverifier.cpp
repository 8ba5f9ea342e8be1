#include "platform/ripverifier.h"

#include "core/accuraterip.h"
#include "core/crc32.h"
#include "core/riplog.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <sndfile.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

bool TRipVerifier::TResult::AllAgree() const {
    return error.isEmpty() && !tracks.isEmpty() &&
           std::all_of(tracks.begin(), tracks.end(), [](const TTrack& t) { return t.agrees; });
}

namespace {
constexpr qint64 kLargestText = 1 << 20;

std::optional<QString> ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestText)
        return std::nullopt;
    return QString::fromUtf8(file.readAll());
}

// The only file of a kind in the folder; empty when there is none or more than one.
QString OnlyFile(const QDir& dir, const QString& pattern) {
    const QStringList found = dir.entryList({pattern}, QDir::Files);
    return found.size() == 1 ? dir.filePath(found.first()) : QString();
}

struct TSums {
    bool read = false;
    quint32 crc = 0, v1 = 0, v2 = 0;
};

// The file's audio as 16-bit stereo; not read when it cannot be read as such.
TSums Checksums(const QString& path, bool first, bool last) {
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(
        sf_open(QFile::encodeName(path).constData(), SFM_READ, &info), sf_close);
    if (!file || info.channels != 2)
        return {};
    TCrc32 crc;
    TAccurateRip ar(info.frames, first, last);
    std::vector<qint16> block(2 * 44100);
    for (;;) {
        const sf_count_t n = sf_readf_short(file.get(), block.data(), sf_count_t(block.size() / 2));
        if (n <= 0)
            break;
        // The CRC is of little-endian bytes, as a disc holds them.
        for (sf_count_t i = 0; i < 2 * n; ++i)
            block[size_t(i)] = qToLittleEndian(block[size_t(i)]);
        crc.Add(block.data(), n * 4);
        for (sf_count_t i = 0; i < 2 * n; ++i)
            block[size_t(i)] = qFromLittleEndian(block[size_t(i)]);
        ar.Add(block.data(), n);
    }
    return TSums{true, crc.Value(), ar.V1(), ar.V2()};
}
} // namespace

TRipVerifier::TResult TRipVerifier::Verify(const QString& folder) {
    TResult result;
    const QDir dir(folder);
    if (!dir.exists()) {
        result.error = QStringLiteral("There is no folder \"%1\".").arg(folder);
        return result;
    }
    const QString cuePath = OnlyFile(dir, QStringLiteral("*.cue"));
    const QString logPath = OnlyFile(dir, QStringLiteral("*.log"));
    const std::optional<QString> cue = cuePath.isEmpty() ? std::nullopt : ReadText(cuePath);
    const std::optional<QString> logText = logPath.isEmpty() ? std::nullopt : ReadText(logPath);
    const std::optional<TRipLog> log = logText ? TRipLog::Parse(*logText) : std::nullopt;
    if (!cue || !log) {
        result.error =
            QStringLiteral("\"%1\" holds no CUE sheet and log of a copy to check.").arg(folder);
        return result;
    }
    static const QRegularExpression fileLine(QStringLiteral("^\\s*FILE\\s+\"([^\"]*)\""),
                                             QRegularExpression::MultilineOption);
    QSet<QString> named;
    for (auto it = fileLine.globalMatch(*cue); it.hasNext();)
        named.insert(it.next().captured(1));
    int firstAudio = 0, lastAudio = 0;
    for (int t = 1; t <= log->toc.TrackCount(); ++t) {
        if (log->toc.Track(t).audio) {
            firstAudio = firstAudio ? firstAudio : t;
            lastAudio = t;
        }
    }
    for (const TRipLogTrack& entry : log->tracks) {
        if (entry.file.isEmpty())
            continue;
        TTrack track{entry.track, entry.file, false, {}};
        const bool inSheet = named.contains(entry.file);
        const TSums sums = inSheet ? Checksums(dir.filePath(entry.file), entry.track == firstAudio,
                                               entry.track == lastAudio)
                                   : TSums();
        if (!inSheet)
            track.problem = QStringLiteral("the CUE sheet does not name it");
        else if (!sums.read)
            track.problem = QStringLiteral("it cannot be read");
        else if (sums.crc != entry.copyCrc)
            track.problem = QStringLiteral("CRC32 %1, the log says %2")
                                .arg(TRipLog::Hex(sums.crc), TRipLog::Hex(entry.copyCrc));
        else if (sums.v1 != entry.arV1 || sums.v2 != entry.arV2)
            track.problem = QStringLiteral("AccurateRip %1/%2, the log says %3/%4")
                                .arg(TRipLog::Hex(sums.v1), TRipLog::Hex(sums.v2),
                                     TRipLog::Hex(entry.arV1), TRipLog::Hex(entry.arV2));
        else
            track.agrees = true;
        result.tracks << track;
    }
    if (result.tracks.isEmpty())
        result.error = QStringLiteral("The log of \"%1\" names no copied file.").arg(folder);
    return result;
}
