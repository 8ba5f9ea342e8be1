#include "core/albumdatabase.h"

#include "core/displayfields.h"
#include "core/profile.h"
#include "core/reporter.h"
#include "core/songlistmodel.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <ctime>

namespace {

const QString KVersion = QStringLiteral("DatabaseVersion");
const QString KSaved = QStringLiteral("SavedAtTime");
const QString KTitle = QStringLiteral("Title");
const QString KLength = QStringLiteral("AlbumTotalLength");
const QString KTracks = QStringLiteral("NumberOfTracks");
const QString KCurrent = QStringLiteral("CurrentSong");
const QString KOrder = QStringLiteral("SongOrder");
const QString KLongLookup = QStringLiteral("UseLongDBLookup");

QString SongKey(int n) {
    return QStringLiteral("Song%1").arg(n);
}

// Reads with the size semantics of the profile layer: at most size - 1 characters.
QString Read(const TProfile& profile, const QString& section, const QString& key,
             const QString& def, int size) {
    QString out;
    profile.ReadString(section, key, def, out, size);
    return out;
}

bool Below(const QString& version, const char* other) {
    return QString::compare(version, QLatin1String(other), Qt::CaseSensitive) < 0;
}

// One section read from the profile at once, for scans that ask many keys of many sections:
// the same answers as single reads (defaults, size limits, leading integers) for one lookup.
class TSectionView {
public:
    TSectionView() = default;
    TSectionView(const TProfile& profile, const QString& section) {
        for (const TProfile::TEntry& entry : profile.ReadSection(section))
            FValues.insert(entry.key.toCaseFolded(), entry.value);
    }
    QString Read(const QString& key, const QString& def, int size) const {
        QString value = FValues.value(key.toCaseFolded(), def);
        if (value.size() > size - 1) {
            qsizetype keep = std::max(0, size - 1);
            if (keep > 0 && value[keep - 1].isHighSurrogate())
                --keep;
            value.truncate(keep);
        }
        return value;
    }
    int ReadInt(const QString& key, int def) const {
        const auto found = FValues.constFind(key.toCaseFolded());
        return found == FValues.cend() || found->isEmpty() ? def : LeadingInteger(*found);
    }

private:
    QHash<QString, QString> FValues;
};

int ClampTracks(int count) {
    return std::clamp(count, 0, MaxTracks);
}

// sscanf "%4d": leading white space, then at most four characters of sign and digits.
int ScanFourDigits(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return LeadingInteger(text.mid(i, 4));
}

TAlbumSummary SummaryOf(const TSectionView& view, const QString& section, bool countTracks) {
    TAlbumSummary summary;
    summary.title = view.Read(KTitle, QStringLiteral("???"), 50);
    summary.version = view.Read(KVersion, QStringLiteral("1.4"), 4);
    if (!Below(summary.version, "1.6")) {
        summary.length = view.ReadInt(KLength, 0);
        summary.tracks = ClampTracks(view.ReadInt(KTracks, 0));
        return summary;
    }
    summary.length = ScanFourDigits(section);
    if (countTracks && view.ReadInt(KLongLookup, 1) != 0) {
        while (summary.tracks < MaxTracks &&
               !view.Read(SongKey(summary.tracks + 1), QString(), 100).isEmpty())
            ++summary.tracks;
    }
    return summary;
}

QString ExportTitleOf(const TSectionView& view, const TAlbumSummary& summary, int track) {
    const QString value = view.Read(SongKey(track), TAlbumDatabase::DefaultTrackTitle(track), 100);
    if (!Below(summary.version, "2.1"))
        return value;
    int number = 0, inQueue = 0;
    QString title;
    TAlbumDatabase::SplitOldSong(value, number, title, inQueue);
    return title;
}

} // namespace

TAlbumDatabase::TAlbumDatabase(QString path) : FPath(std::move(path)) {}

QString TAlbumDatabase::DefaultTrackTitle(int track) {
    return QStringLiteral("Track %1").arg(track);
}

void TAlbumDatabase::SplitOldSong(const QString& value, int& track, QString& title, int& inQueue) {
    track = LeadingInteger(value);
    const qsizetype first = value.indexOf(QLatin1Char(','));
    if (first < 0) {
        // No fields at all: keep the text as the title and the song in the queue.
        title = value.trimmed();
        inQueue = 1;
        return;
    }
    qsizetype start = first + 1;
    while (start < value.size() && value[start].isSpace())
        ++start;
    const qsizetype last = value.lastIndexOf(QLatin1Char(','));
    title =
        last > first ? value.mid(start, std::max<qsizetype>(0, last - start)) : value.mid(start);
    inQueue = LeadingInteger(value.mid(last + 1));
}

TAlbumRecord TAlbumDatabase::ReadAlbum(const QString& key, int trackCount,
                                       const TDiscTitles& disc) const {
    // A disc without a key reads no section: every key takes its default.
    const TSectionView view = key.isEmpty() ? TSectionView() : TSectionView(TProfile(FPath), key);
    trackCount = ClampTracks(trackCount);
    TAlbumRecord record;
    record.title =
        view.Read(KTitle, disc.album.isEmpty() ? QStringLiteral("Untitled") : disc.album, 50);
    const QString song1 = view.Read(SongKey(1), QString(), 100);
    record.version =
        view.Read(KVersion, song1.isEmpty() ? QStringLiteral("2.7") : QStringLiteral("2.0"), 5);
    if (!Below(record.version, "2.1")) {
        for (int n = 1; n <= trackCount; ++n) {
            const QString own = disc.Track(n);
            record.titles.append(
                view.Read(SongKey(n), own.isEmpty() ? DefaultTrackTitle(n) : own, 100));
        }
        QStringList all;
        for (int n = 1; n <= trackCount; ++n)
            all.append(QString::number(n));
        const QString order = view.Read(KOrder, all.join(QLatin1Char(' ')), 1023);
        for (const QString& part : order.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            record.queue.append(LeadingInteger(part));
    } else {
        for (int n = 1; n <= trackCount; ++n) {
            const QString value =
                view.Read(SongKey(n), QStringLiteral("%1, Track %1, 1").arg(n), 100);
            int track = 0, inQueue = 0;
            QString title;
            SplitOldSong(value, track, title, inQueue);
            // Titles stay in track order; a track number outside the list so far appends.
            const int at = track >= 1 && track - 1 <= record.titles.size()
                               ? track - 1
                               : static_cast<int>(record.titles.size());
            record.titles.insert(at, title);
            if (inQueue) {
                qsizetype p = 0;
                while (p < record.queue.size() && record.queue[p] < track)
                    ++p;
                record.queue.insert(p, track);
            }
        }
    }
    record.currentSong = view.ReadInt(KCurrent, -1);
    return record;
}

QString TAlbumDatabase::SavedAtTime() {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // The C library's asctime form without its newline; names are English whatever the locale.
    return QString::asprintf("%s %s %2d %02d:%02d:%02d %d", days[local.tm_wday % 7],
                             months[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min,
                             local.tm_sec, local.tm_year + 1900);
}

bool TAlbumDatabase::WriteAlbum(const QString& key, const TAlbumContents& contents) {
    if (key.isEmpty())
        return false;
    TProfile profile(FPath);
    TProfile::TBatch batch(profile);
    const QString stored = Read(profile, key, KVersion, QStringLiteral("2.0"), 5);
    // Every write counts: a refused one (a section name the file cannot hold) is a failure even
    // though the batch then has nothing to write.
    bool written = true;
    const auto write = [&](const QString& name, const QString& value) {
        written = profile.WriteString(key, name, value) && written;
    };
    if (Below(stored, "2.7"))
        written = profile.DeleteSection(key);
    write(KVersion, Version());
    write(KSaved, SavedAtTime());
    write(KTitle, contents.title);
    write(KLength, QString::number(contents.totalLengthMs / 1000));
    write(KTracks, QString::number(contents.numberOfTracks));
    write(KCurrent, QString::number(contents.currentSong));
    for (int n = 1; n <= contents.titles.size(); ++n)
        write(SongKey(n), contents.titles[n - 1]);
    QStringList order;
    for (int track : contents.queue)
        order.append(QString::number(track));
    write(KOrder, order.join(QLatin1Char(' ')));
    return batch.Commit() && written;
}

bool TAlbumDatabase::ConfirmDelete() {
    TMessage question;
    question.text =
        QCoreApplication::translate("TAlbumDatabase", "Remove this album from the database?");
    question.icon = TMessageIcon::Question;
    question.buttons = TMessageButtons::YesNo;
    question.defaultAnswer = TMessageAnswer::No;
    question.beep = true;
    return ReportMessage(question) == TMessageAnswer::Yes;
}

bool TAlbumDatabase::DeleteAlbum(const QString& key) {
    if (key.isEmpty())
        return false;
    TProfile profile(FPath);
    return profile.DeleteSection(key);
}

bool TAlbumDatabase::ListSections(QStringList& sections) const {
    sections.clear();
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Line by line with ordinary reads: a file another program shortens meanwhile only ends the
    // scan early. Names repeat as the profile layer sees them: the first spelling counts.
    QSet<QString> seen;
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.endsWith('\n'))
            line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString name = ProfileHeaderName(line);
        // An empty name cannot be a disc key, nor be written or deleted.
        if (name.isEmpty())
            continue;
        const QString folded = name.toCaseFolded();
        if (!seen.contains(folded)) {
            seen.insert(folded);
            sections.append(name);
        }
    }
    return file.error() == QFileDevice::NoError;
}

TAlbumSummary TAlbumDatabase::ReadSummary(const QString& section, bool countTracks) const {
    return SummaryOf(TSectionView(TProfile(FPath), section), section, countTracks);
}

QString TAlbumDatabase::ExportTitle(const QString& section, const TAlbumSummary& summary,
                                    int track) const {
    return ExportTitleOf(TSectionView(TProfile(FPath), section), summary, track);
}

TAlbumDatabase::TExportResult TAlbumDatabase::Export(const QString& outPath) const {
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text))
        return TExportResult::CannotWriteExport;
    QStringList sections;
    if (!ListSections(sections))
        return TExportResult::CannotReadDatabase;
    TProfile profile(FPath);
    QByteArray text;
    for (const QString& section : sections) {
        const TSectionView view(profile, section);
        const TAlbumSummary summary = SummaryOf(view, section, true);
        QString line = summary.title + QLatin1Char(',') + QString::number(summary.tracks) +
                       QLatin1Char(',') + FormatTime(summary.length);
        for (int n = 1; n <= summary.tracks; ++n)
            line += QLatin1Char(',') + ExportTitleOf(view, summary, n);
        line += QLatin1Char(',') + section + QLatin1Char('\n');
        text += line.toUtf8();
        if (text.size() > (1 << 20)) {
            out.write(text);
            text.clear();
        }
    }
    out.write(text);
    return out.commit() ? TExportResult::Ok : TExportResult::CannotWriteExport;
}
