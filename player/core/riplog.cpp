#include "core/riplog.h"

#include "core/discids.h"

#include <QRegularExpression>
#include <QSaveFile>

QString TRipLog::SectorTime(qint64 sectors) {
    const qint64 seconds = sectors / TDiscToc::kSectorsPerSecond;
    return QStringLiteral("%1:%2.%3")
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % TDiscToc::kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

QString TRipLog::Text() const {
    QString t;
    auto line = [&t](const QString& s) { t += s + QLatin1Char('\n'); };
    line(program + QStringLiteral(" - copy of an audio disc"));
    line(QStringLiteral("Date: ") + date);
    line(QStringLiteral("Drive: ") + source);
    line(QStringLiteral("Read offset: %1 samples").arg(readOffset));
    line(QStringLiteral("Read mode: ") + readMode);
    line(QStringLiteral("Test and copy: ") + (testAndCopy ? "on" : "off"));
    line(QStringLiteral("Format: ") + format);
    line({});
    line(QStringLiteral("Table of contents"));
    line(QStringLiteral("  Track  Type   Start sector  Length (sectors)  Length"));
    for (int n = 1; n <= toc.TrackCount(); ++n) {
        const qint32 next =
            n < toc.TrackCount() ? toc.Track(n + 1).firstSector : toc.LeadoutSector();
        const qint32 length = next - toc.Track(n).firstSector;
        line(QStringLiteral("  %1  %2  %3  %4  %5")
                 .arg(n, 5)
                 .arg(toc.Track(n).audio ? QStringLiteral("audio") : QStringLiteral("data "))
                 .arg(toc.Track(n).firstSector, 13)
                 .arg(length, 16)
                 .arg(SectorTime(length), 7));
    }
    line(QStringLiteral("  Lead-out       %1").arg(toc.LeadoutSector(), 13));
    line({});
    if (toc.IsValid()) {
        line(QStringLiteral("AccurateRip id: ") + TDiscIds::AccurateRip(toc));
        line(QStringLiteral("freedb id: ") + TDiscIds::FreedbText(toc));
        line(QStringLiteral("MusicBrainz disc id: ") + TDiscIds::MusicBrainz(toc));
        line({});
    }
    for (const TRipLogTrack& r : tracks) {
        line(QStringLiteral("Track %1").arg(r.track));
        line(QStringLiteral("  File: ") + (r.file.isEmpty() ? QStringLiteral("(none)") : r.file));
        // A track without a file has no checksums to give.
        if (!r.file.isEmpty()) {
            line(QStringLiteral("  Peak level: %1 %").arg(r.peak, 0, 'f', 1));
            line(QStringLiteral("  Copy CRC32: ") + Hex(r.copyCrc));
            if (r.testCrc)
                line(QStringLiteral("  Test CRC32: ") + Hex(*r.testCrc));
            line(QStringLiteral("  AccurateRip v1: ") + Hex(r.arV1));
            line(QStringLiteral("  AccurateRip v2: ") + Hex(r.arV2));
        }
        line(QStringLiteral("  Re-reads: %1").arg(r.rereads));
        line(QStringLiteral("  Skips: %1").arg(r.skips));
        line(QStringLiteral("  Suspicious positions: ") +
             (r.suspicious.isEmpty() ? QStringLiteral("none") : r.suspicious.join(", ")));
        if (r.silence)
            line(QStringLiteral("  Samples outside the disc (silence): %1").arg(r.silence));
        line(QStringLiteral("  Status: ") + r.status);
        line({});
    }
    for (const QString& note : notes)
        line(note);
    if (!notes.isEmpty())
        line({});
    line(verdict);
    return t;
}

bool TRipLog::Write(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(Text().toUtf8()) >= 0 && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

std::optional<TRipLog> TRipLog::Parse(const QString& text) {
    static const QRegularExpression tocRow(
        QStringLiteral("^\\s+(\\d+)\\s+(audio|data)\\s+(\\d+)\\s+\\d+\\s+\\d+:\\d\\d\\.\\d\\d$"));
    static const QRegularExpression leadout(QStringLiteral("^\\s+Lead-out\\s+(\\d+)$"));
    static const QRegularExpression trackHead(QStringLiteral("^Track (\\d+)$"));
    static const QRegularExpression field(QStringLiteral("^  ([A-Za-z0-9 ]+): (.*)$"));
    TRipLog log;
    QVector<TTocTrack> tocTracks;
    qint32 leadoutSector = -1;
    TRipLogTrack* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.isEmpty() || !lines.first().endsWith(QLatin1String(" - copy of an audio disc")))
        return std::nullopt;
    auto hex = [](const QString& s, bool* ok) { return s.toUInt(ok, 16); };
    for (const QString& l : lines) {
        QRegularExpressionMatch m;
        if ((m = tocRow.match(l)).hasMatch()) {
            tocTracks.append(
                TTocTrack(m.captured(3).toInt(), m.captured(2) == QLatin1String("audio")));
        } else if ((m = leadout.match(l)).hasMatch()) {
            leadoutSector = m.captured(1).toInt();
        } else if ((m = trackHead.match(l)).hasMatch()) {
            log.tracks.append(TRipLogTrack());
            current = &log.tracks.last();
            current->track = m.captured(1).toInt();
        } else if (current && (m = field.match(l)).hasMatch()) {
            const QString key = m.captured(1), value = m.captured(2);
            bool ok = true;
            if (key == QLatin1String("File"))
                current->file = value == QLatin1String("(none)") ? QString() : value;
            else if (key == QLatin1String("Copy CRC32"))
                current->copyCrc = hex(value, &ok);
            else if (key == QLatin1String("Test CRC32"))
                current->testCrc = hex(value, &ok);
            else if (key == QLatin1String("AccurateRip v1"))
                current->arV1 = hex(value, &ok);
            else if (key == QLatin1String("AccurateRip v2"))
                current->arV2 = hex(value, &ok);
            else if (key == QLatin1String("Status"))
                current->status = value;
            if (!ok)
                return std::nullopt;
        } else if (l.isEmpty()) {
            current = nullptr;
        }
    }
    log.toc = TDiscToc(tocTracks, leadoutSector);
    if (!log.toc.IsValid())
        return std::nullopt;
    return log;
}
