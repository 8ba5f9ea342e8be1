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
    : FCdio(std::move(cdio)), FLeadout(cdio_get_track_lsn(FCdio.get(), CDIO_CDROM_LEADOUT_TRACK)) {
    // Only a data file that exists now can be watched (a TOC sheet is opened from a copy).
    FDataFile = DataFile(FCdio.get());
    FDataSize = FDataFile.isEmpty() ? 0 : QFileInfo(FDataFile).size();
}

bool TPlainSectorReader::ImageIntact() const {
    const QFileInfo file(FDataFile);
    return FDataFile.isEmpty() || (file.exists() && file.size() >= FDataSize);
}

bool TPlainSectorReader::Read(qint32 lsn, int count, char* out) {
    // libcdio quietly truncates a read past the end of an image; a short image is a failure here.
    if (lsn < 0 || count <= 0 || FLeadout == CDIO_INVALID_LSN || lsn + count > FLeadout)
        return false;
    // Checked after reading, so a file cut short during the read is caught too.
    if (cdio_read_audio_sectors(FCdio.get(), out, lsn, static_cast<uint32_t>(count)) !=
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

std::unique_ptr<TParanoiaSectorReader> TParanoiaSectorReader::Open(TCdioHandle cdio) {
    std::unique_ptr<TParanoiaSectorReader> reader(new TParanoiaSectorReader);
    reader->FCdio = std::move(cdio);
    if (!reader->FParanoia.Open(reader->FCdio.get()))
        return nullptr;
    return reader;
}

bool TParanoiaSectorReader::Read(qint32 lsn, int count, char* out) {
    if (lsn < 0 || count <= 0 || lsn + count - 1 > cdio_cddap_disc_lastsector(FParanoia.Drive()))
        return false;
    if (lsn != FNext)
        cdio_paranoia_seek(FParanoia.Paranoia(), lsn, SEEK_SET);
    for (int i = 0; i < count; ++i) {
        const int16_t* sector =
            cdio_paranoia_read_limited(FParanoia.Paranoia(), nullptr, kParanoiaRetries);
        if (!sector) {
            FNext = -1;
            return false;
        }
        std::memcpy(out + i * CDIO_CD_FRAMESIZE_RAW, sector, CDIO_CD_FRAMESIZE_RAW);
    }
    FNext = lsn + count;
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
