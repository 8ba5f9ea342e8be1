#include "platform/audiocuesheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <sndfile.h>

namespace {
constexpr qint64 kLargestSheet = 1 << 20;
constexpr int kMaxTracks = 99;

// A line's words; a quoted word keeps its blanks and loses its quotes.
QStringList Words(const QString& line) {
    static const QRegularExpression word(QStringLiteral("\"([^\"]*)\"?|(\\S+)"));
    QStringList words;
    for (auto match = word.globalMatch(line); match.hasNext();) {
        const auto m = match.next();
        words << (m.hasCaptured(2) ? m.captured(2) : m.captured(1));
    }
    return words;
}

// MM:SS:FF in sectors; -1 when it is not one.
qint32 Sectors(const QString& msf) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,4}):(\\d{1,2}):(\\d{1,2})$"));
    const auto m = pattern.match(msf);
    if (!m.hasMatch())
        return -1;
    const int minutes = m.captured(1).toInt(), seconds = m.captured(2).toInt(),
              frames = m.captured(3).toInt();
    if (seconds >= 60 || frames >= 75)
        return -1;
    return (minutes * 60 + seconds) * 75 + frames;
}

// One line of text for a title, as the drive reports CD-TEXT.
QString OneLine(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return text.simplified();
}

QString Decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    return text;
}
} // namespace

TAudioCueSheet TAudioCueSheet::Read(const QString& sheetPath) {
    TAudioCueSheet sheet;
    const QFileInfo info(sheetPath);
    sheet.FSheetName = info.fileName();
    sheet.FFolder = info.absolutePath();
    QFile file(sheetPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestSheet) {
        sheet.FError = QStringLiteral("The cue sheet \"%1\" cannot be read.").arg(sheet.FSheetName);
        return sheet;
    }
    sheet.Parse(Decode(file.readAll()));
    return sheet;
}

void TAudioCueSheet::Fail(int line, const QString& why) {
    if (FError.isEmpty())
        FError = QStringLiteral("The cue sheet \"%1\" cannot be used: line %2: %3.")
                     .arg(FSheetName)
                     .arg(line)
                     .arg(why);
}

void TAudioCueSheet::Parse(const QString& text) {
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    const QDir folder(FFolder);
    for (int n = 1; n <= lines.size(); ++n) {
        const QStringList words = Words(lines[n - 1]);
        if (words.isEmpty())
            continue;
        const QString keyword = words[0].toUpper();
        if (keyword == QLatin1String("FILE")) {
            if (words.size() < 2) {
                Fail(n, QStringLiteral("FILE names no file"));
                continue;
            }
            // Files are collected even past an error: they decide who reads the sheet.
            FFiles.append({words[1], folder.absoluteFilePath(words[1]),
                           words.size() > 2 ? words[2].toUpper() : QString()});
        } else if (keyword == QLatin1String("TRACK")) {
            const int number = words.value(1).toInt();
            if (FFiles.isEmpty())
                Fail(n, QStringLiteral("TRACK comes before any FILE"));
            else if (number < 1 || number > kMaxTracks ||
                     (!FTracks.isEmpty() && number <= FTracks.last().number))
                Fail(n,
                     QStringLiteral("the track number \"%1\" is out of order").arg(words.value(1)));
            TTrack track;
            track.number = number;
            track.audio = words.value(2).compare(QLatin1String("AUDIO"), Qt::CaseInsensitive) == 0;
            FTracks.append(track);
        } else if (keyword == QLatin1String("INDEX")) {
            const qint32 sectors = Sectors(words.value(2));
            if (FTracks.isEmpty() || sectors < 0) {
                Fail(n, QStringLiteral("INDEX needs a track and a time MM:SS:FF"));
                continue;
            }
            if (words[1].toInt() != 1)
                continue; // index 0 (the gap) lies within the files already
            TTrack& track = FTracks.last();
            if (track.start >= 0)
                Fail(n, QStringLiteral("track %1 has a second INDEX 01").arg(track.number));
            // A track whose gap ends one file may start in the next.
            track.file = FFiles.size() - 1;
            track.start = sectors;
            if (FTracks.size() > 1 && FTracks[FTracks.size() - 2].file == track.file &&
                FTracks[FTracks.size() - 2].start >= sectors)
                Fail(n, QStringLiteral("track %1 starts before the track ahead of it")
                            .arg(track.number));
        } else if (keyword == QLatin1String("TITLE")) {
            (FTracks.isEmpty() ? FTitle : FTracks.last().title) = OneLine(words.value(1));
        } else if (keyword == QLatin1String("PREGAP") || keyword == QLatin1String("POSTGAP")) {
            Fail(n,
                 QStringLiteral("%1 (silence that is in no file) is not supported").arg(keyword));
        }
    }
    if (FTracks.isEmpty())
        Fail(lines.size(), QStringLiteral("the sheet has no tracks"));
    for (const TTrack& track : FTracks) {
        if (track.start < 0)
            Fail(lines.size(), QStringLiteral("track %1 has no INDEX 01").arg(track.number));
    }
}

bool TAudioCueSheet::NamesAudioFiles() const {
    static const QStringList audioTypes{QStringLiteral("WAVE"), QStringLiteral("FLAC"),
                                        QStringLiteral("AIFF"), QStringLiteral("MP3")};
    for (const TFile& file : FFiles) {
        if (audioTypes.contains(file.type))
            return true;
    }
    // Sheets are loose about type words: a file with a sound header is sound whatever it says.
    // MPEG is left out here: libsndfile takes raw sectors that happen to begin with its sync
    // bits for MPEG audio.
    for (const TFile& file : FFiles) {
        SF_INFO info{};
        SNDFILE* sound = sf_open(QFile::encodeName(file.path).constData(), SFM_READ, &info);
        if (sound) {
            sf_close(sound);
            if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG)
                return true;
        }
    }
    return false;
}
