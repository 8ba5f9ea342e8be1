#include "platform/cdio.h"

#include <QFileInfo>

#include <cdio/logging.h>

#include <mutex>

Q_LOGGING_CATEGORY(lcCdio, "korvo.cdio")

namespace {

void LogToCategory(cdio_log_level_t level, const char message[]) {
    switch (level) {
    case CDIO_LOG_DEBUG:
    case CDIO_LOG_INFO:
        qCDebug(lcCdio, "%s", message);
        break;
    case CDIO_LOG_WARN:
        qCInfo(lcCdio, "%s", message);
        break;
    default:
        qCWarning(lcCdio, "%s", message);
        break;
    }
}

void InstallLogHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        cdio_loglevel_default = CDIO_LOG_DEBUG; // the category filters, not libcdio
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

TCdioHandle OpenCdio(const QString& source, driver_id_t driver) {
    InstallLogHandler();
    const QByteArray name = QFile::encodeName(source);
    return TCdioHandle(cdio_open(name.isEmpty() ? nullptr : name.constData(), driver));
}

TDiscToc ReadToc(CdIo_t* cdio) {
    if (!cdio)
        return {};
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0 ||
        int(first) + int(count) - 1 > CDIO_CD_MAX_TRACKS)
        return {};
    QVector<TTocTrack> tracks;
    for (int t = first; t < first + count; ++t) {
        const lsn_t lsn = cdio_get_track_lsn(cdio, static_cast<track_t>(t));
        if (lsn == CDIO_INVALID_LSN)
            return {};
        tracks.append(
            {lsn, cdio_get_track_format(cdio, static_cast<track_t>(t)) == TRACK_FORMAT_AUDIO});
    }
    const lsn_t leadout = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadout == CDIO_INVALID_LSN)
        return {};
    TDiscToc toc(tracks, leadout);
    return toc.IsValid() ? toc : TDiscToc();
}
