#include "platform/cdio.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <mutex>
#include <optional>

// Quiet unless asked for (QT_LOGGING_RULES="korvo.cdio.debug=true"): a drive without a disc makes
// libcdio complain on every poll.
Q_LOGGING_CATEGORY(lcCdio, "korvo.cdio", QtWarningMsg)

namespace {

void LogToCategory(cdio_log_level_t level, const char message[]) {
    switch (level) {
    case CDIO_LOG_DEBUG:
    case CDIO_LOG_INFO:
    case CDIO_LOG_WARN:
        qCDebug(lcCdio, "%s", message);
        break;
    case CDIO_LOG_ERROR:
        qCInfo(lcCdio, "%s", message);
        break;
    case CDIO_LOG_ASSERT:
        qCWarning(lcCdio, "%s", message);
        break;
    }
}

void InstallLogHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        // libcdio's logger asserts when two threads log at once (playback workers read the disc
        // beside the GUI thread), so it is asked only for messages the category shows; with
        // korvo.cdio.debug on, that can still happen.
        cdio_loglevel_default = lcCdio().isDebugEnabled()  ? CDIO_LOG_DEBUG
                                : lcCdio().isInfoEnabled() ? CDIO_LOG_ERROR
                                                           : CDIO_LOG_ASSERT;
        cdio_log_set_handler(LogToCategory);
    });
}

} // namespace

driver_id_t ImageDriver(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("cue") || suffix == QLatin1String("bin"))
        return DRIVER_BINCUE;
    if (suffix == QLatin1String("toc"))
        return DRIVER_CDRDAO;
    if (suffix == QLatin1String("nrg"))
        return DRIVER_NRG;
    return DRIVER_UNKNOWN;
}

namespace {
// A TOC or cue sheet's text; none when it cannot be read or is far larger than any sheet.
std::optional<QString> ReadSheet(const QString& source) {
    QFile sheet(source);
    constexpr qint64 kLargestSheet = 1 << 20;
    if (!sheet.open(QIODevice::ReadOnly) || sheet.size() > kLargestSheet)
        return std::nullopt;
    return QString::fromLocal8Bit(sheet.readAll());
}

// libcdio looks for the data files a cdrdao TOC sheet names relative to the working directory,
// not to the sheet. Opening a copy whose names are absolute finds them wherever the player runs.
TCdioHandle OpenTocSheet(const QString& source) {
    const std::optional<QString> sheet = ReadSheet(source);
    if (!sheet)
        return nullptr;
    const QString& text = *sheet;
    const QDir folder = QFileInfo(source).absoluteDir();
    static const QRegularExpression fileName(
        QStringLiteral("\\b(FILE|AUDIOFILE|DATAFILE)\\s+\"([^\"]+)\""));
    QString rewritten;
    qsizetype copied = 0;
    for (auto match = fileName.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        rewritten += text.mid(copied, m.capturedStart(2) - copied);
        rewritten += QDir::isAbsolutePath(m.captured(2)) ? m.captured(2)
                                                         : folder.absoluteFilePath(m.captured(2));
        copied = m.capturedEnd(2);
    }
    rewritten += text.mid(copied);
    QTemporaryFile copy(QDir::temp().filePath(QStringLiteral("korvo-XXXXXX.toc")));
    if (!copy.open() || copy.write(rewritten.toLocal8Bit()) < 0 || !copy.flush())
        return nullptr;
    const QByteArray name = QFile::encodeName(copy.fileName());
    return TCdioHandle(cdio_open(name.constData(), DRIVER_CDRDAO)); // parsed on open
}

// libcdio takes a cue sheet's data file to be the sheet's own name ending in ".bin", whatever its
// FILE line says. A sheet naming another raw (BINARY) file is opened as a copy in a temporary
// folder, beside a link of the expected name to the real file; the folder lives as long as the
// handle, since libcdio opens the data file only when it first reads.
TCdioHandle OpenCueSheet(const QString& source) {
    const QByteArray name = QFile::encodeName(source);
    auto plain = [&name] { return TCdioHandle(cdio_open(name.constData(), DRIVER_BINCUE)); };
    const std::optional<QString> sheet = ReadSheet(source);
    if (!sheet)
        return plain();
    const QString& text = *sheet;
    static const QRegularExpression fileLine(
        QStringLiteral("^\\s*FILE\\s+(?:\"([^\"]*)\"|(\\S+))(?:[ \\t]+(\\S+))?"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    QStringList names;
    bool raw = true;
    for (auto match = fileLine.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        names << (m.hasCaptured(1) ? m.captured(1) : m.captured(2));
        raw = raw && m.captured(3).compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0;
    }
    // libcdio reads one raw data file per sheet, and reports anything else itself.
    if (names.size() != 1 || !raw)
        return plain();
    const QFileInfo sheetFile(source);
    const QFileInfo expected(sheetFile.dir().filePath(sheetFile.completeBaseName() + ".bin"));
    const QFileInfo data(sheetFile.dir().filePath(names.first()));
    if (!data.exists() || data.canonicalFilePath() == expected.canonicalFilePath())
        return plain();
    auto folder = std::make_shared<QTemporaryDir>();
    const QString copy = folder->filePath(QStringLiteral("disc.cue"));
    QString rewritten = text;
    rewritten.replace(fileLine, QStringLiteral("FILE \"disc.bin\" BINARY"));
    QFile out(copy);
    if (!folder->isValid() ||
        !QFile::link(data.absoluteFilePath(), folder->filePath(QStringLiteral("disc.bin"))) ||
        !out.open(QIODevice::WriteOnly) || out.write(rewritten.toLocal8Bit()) < 0 || !out.flush())
        return plain();
    out.close();
    return TCdioHandle(cdio_open(QFile::encodeName(copy).constData(), DRIVER_BINCUE),
                       TCdioDestroy{std::move(folder)});
}
} // namespace

TCdioHandle OpenCdio(const QString& source, driver_id_t driver) {
    InstallLogHandler();
    // libcdio parses cue and TOC sheets with static state (strtok): two threads opening at once
    // (the GUI and playback workers, or workers a burst of commands left behind) garble each
    // other's sheet and fail.
    static std::mutex opening;
    const std::lock_guard lock(opening);
    if (driver == DRIVER_CDRDAO)
        return OpenTocSheet(source);
    if (driver == DRIVER_BINCUE &&
        QFileInfo(source).suffix().compare(QLatin1String("cue"), Qt::CaseInsensitive) == 0)
        return OpenCueSheet(source);
    const QByteArray name = QFile::encodeName(source);
    return TCdioHandle(cdio_open(name.isEmpty() ? nullptr : name.constData(), driver));
}

QString DataFile(CdIo_t* cdio) {
    const char* source = cdio ? cdio_get_arg(cdio, "source") : nullptr;
    return source ? QFileInfo(QFile::decodeName(source)).canonicalFilePath() : QString();
}

namespace {
// libcdio hands out CD-TEXT as UTF-8 converted from ISO-8859-1, the discs' own encoding. A cue
// sheet written in UTF-8 then comes out converted twice ("SÃ©ance"); such text is undone once.
QString UndoDoubleEncoding(const QString& text) {
    bool wide = false;
    for (QChar c : text) {
        if (c.unicode() > 0xff)
            return text;
        wide = wide || c.unicode() >= 0x80;
    }
    if (!wide)
        return text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString once = utf8.decode(text.toLatin1());
    return utf8.hasError() ? text : once;
}

// One CD-TEXT title as one line of text: control characters (tabs and line breaks would split a
// queue row or a database line) become blanks.
QString TextTitle(const cdtext_t* text, track_t track) {
    const char* value = text ? cdtext_get_const(text, CDTEXT_FIELD_TITLE, track) : nullptr;
    QString title = value ? UndoDoubleEncoding(QString::fromUtf8(value)) : QString();
    for (QChar& c : title)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char(' ');
    return title.simplified();
}
} // namespace

TDiscToc ReadToc(CdIo_t* cdio) {
    if (!cdio)
        return {};
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        int(first) + int(count) - 1 > CDIO_CD_MAX_TRACKS)
        return {};
    const cdtext_t* text = cdio_get_cdtext(cdio); // owned by the handle
    QVector<TTocTrack> tracks;
    for (int t = first; t < first + count; ++t) {
        const auto track = static_cast<track_t>(t);
        const lsn_t lsn = cdio_get_track_lsn(cdio, track);
        if (lsn == CDIO_INVALID_LSN)
            return {};
        tracks.append({lsn, cdio_get_track_format(cdio, track) == TRACK_FORMAT_AUDIO,
                       TextTitle(text, track)});
    }
    const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadout == CDIO_INVALID_LSN)
        return {};
    TDiscToc toc(tracks, leadout, TextTitle(text, 0));
    return toc.IsValid() ? toc : TDiscToc();
}

TParanoiaDrive::~TParanoiaDrive() {
    if (FParanoia)
        cdio_paranoia_free(FParanoia);
    if (FDrive)
        cdio_cddap_close_no_free_cdio(FDrive);
}

bool TParanoiaDrive::Open(CdIo_t* cdio) {
    FDrive = cdio_cddap_identify_cdio(cdio, CDDA_MESSAGE_FORGETIT, nullptr);
    if (!FDrive || cdio_cddap_open(FDrive) != 0)
        return false;
    FParanoia = cdio_paranoia_init(FDrive);
    if (!FParanoia)
        return false;
    cdio_paranoia_modeset(FParanoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return true;
}
