#include "platform/sectorreader.h"

#include <QFileInfo>
#include <QtEndian>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <cstring>

namespace {
// Paranoia gives up on a sector after this many failed re-reads rather than stalling playback.
constexpr int kParanoiaRetries = 5;
} // namespace

TPlainSectorReader::TPlainSectorReader(TCdioHandle cdio)
    : cdio_(std::move(cdio)), leadout_(cdio_get_track_lsn(cdio_.get(), CDIO_CDROM_LEADOUT_TRACK)) {
    // Only a data file that exists now can be watched (a TOC sheet is opened from a copy).
    dataFile_ = DataFile(cdio_.get());
    dataSize_ = dataFile_.isEmpty() ? 0 : QFileInfo(dataFile_).size();
}

bool TPlainSectorReader::ImageIntact() const {
    const QFileInfo file(dataFile_);
    return dataFile_.isEmpty() || (file.exists() && file.size() >= dataSize_);
}

bool TPlainSectorReader::Read(qint32 lsn, int count, char* out) {
    // libcdio quietly truncates a read past the end of an image; a short image is a failure here.
    if (lsn < 0 || count <= 0 || leadout_ == CDIO_INVALID_LSN || lsn + count > leadout_)
        return false;
    // Checked after reading, so a file cut short during the read is caught too.
    if (cdio_read_audio_sectors(cdio_.get(), out, lsn, static_cast<uint32_t>(count)) !=
            DRIVER_OP_SUCCESS ||
        !ImageIntact())
        return false;
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    auto* samples = reinterpret_cast<qint16*>(out);
    for (int i = 0; i < count * CDIO_CD_FRAMESIZE_RAW / 2; ++i)
        samples[i] = qFromLittleEndian(samples[i]);
#endif
    return true;
}

TSectorReaderFactory TPlainSectorReader::Factory(const QString& source, driver_id_t driver) {
    return [source, driver]() -> std::unique_ptr<TSectorReader> {
        TCdioHandle cdio = OpenCdio(source, driver);
        if (!cdio)
            return nullptr;
        return std::make_unique<TPlainSectorReader>(std::move(cdio));
    };
}

TParanoiaSectorReader::~TParanoiaSectorReader() {
    if (paranoia_)
        cdio_paranoia_free(paranoia_);
    if (drive_)
        cdio_cddap_close_no_free_cdio(drive_);
}

std::unique_ptr<TParanoiaSectorReader> TParanoiaSectorReader::Open(TCdioHandle cdio) {
    std::unique_ptr<TParanoiaSectorReader> reader(new TParanoiaSectorReader);
    reader->cdio_ = std::move(cdio);
    reader->drive_ = cdio_cddap_identify_cdio(reader->cdio_.get(), CDDA_MESSAGE_FORGETIT, nullptr);
    if (!reader->drive_ || cdio_cddap_open(reader->drive_) != 0)
        return nullptr;
    reader->paranoia_ = cdio_paranoia_init(reader->drive_);
    if (!reader->paranoia_)
        return nullptr;
    cdio_paranoia_modeset(reader->paranoia_, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
    return reader;
}

bool TParanoiaSectorReader::Read(qint32 lsn, int count, char* out) {
    if (lsn < 0 || count <= 0 || lsn + count - 1 > cdio_cddap_disc_lastsector(drive_))
        return false;
    if (lsn != next_)
        cdio_paranoia_seek(paranoia_, lsn, SEEK_SET);
    for (int i = 0; i < count; ++i) {
        const int16_t* sector = cdio_paranoia_read_limited(paranoia_, nullptr, kParanoiaRetries);
        if (!sector) {
            next_ = -1;
            return false;
        }
        std::memcpy(out + i * CDIO_CD_FRAMESIZE_RAW, sector, CDIO_CD_FRAMESIZE_RAW);
    }
    next_ = lsn + count;
    return true;
}

TSectorReaderFactory TParanoiaSectorReader::Factory(const QString& source, driver_id_t driver) {
    return [source, driver]() -> std::unique_ptr<TSectorReader> {
        TCdioHandle cdio = OpenCdio(source, driver);
        if (!cdio)
            return nullptr;
        return TParanoiaSectorReader::Open(std::move(cdio));
    };
}
