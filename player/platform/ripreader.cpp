#include "platform/ripreader.h"

#include <QFileInfo>
#include <QtEndian>

#include <cdio/paranoia/cdda.h>
#include <cdio/paranoia/paranoia.h>

#include <algorithm>

namespace {
// Re-reads of one sector before paranoia skips it: a few seconds on a real drive.
constexpr int kRetries = 20;

// Paranoia's callback carries no context; a reader reads on one thread at a time.
thread_local QList<TRipReader::TEvent>* tEvents = nullptr;

void Note(long position, paranoia_cb_mode_t mode) {
    TRipReader::TEvent event;
    switch (mode) {
    case PARANOIA_CB_READERR:
        event.reread = true;
        break;
    case PARANOIA_CB_SKIP:
        event.skip = true;
        break;
    case PARANOIA_CB_SCRATCH:
    case PARANOIA_CB_REPAIR:
    case PARANOIA_CB_DRIFT:
    case PARANOIA_CB_FIXUP_DROPPED:
    case PARANOIA_CB_FIXUP_DUPED:
        break;
    default:
        return; // reads, verification and jitter fixes are paranoia's normal work
    }
    if (!tEvents)
        return;
    // Positions are in 16-bit samples.
    event.sector = qint32(std::max<long>(position, 0) / CD_FRAMEWORDS);
    tEvents->append(event);
}
} // namespace

std::unique_ptr<TRipReader> TRipReader::Open(const QString& source) {
    const bool image = QFileInfo(source).isFile();
    std::unique_ptr<TRipReader> reader(new TRipReader);
    reader->FImage = image;
    const driver_id_t driver = image ? ImageDriver(source) : DRIVER_DEVICE;
    reader->FCdio = OpenCdio(source, driver);
    if (!reader->FCdio)
        return nullptr;
    reader->FToc = ReadToc(reader->FCdio.get());
    if (!reader->FToc.IsValid())
        return nullptr;
    if (image)
        return reader;
    if (!reader->FParanoia.Open(reader->FCdio.get()))
        return nullptr;
    return reader;
}

const qint16* TRipReader::Read(qint32 lsn) {
    if (FImage) {
        if (lsn < 0 || lsn >= FToc.LeadoutSector() ||
            cdio_read_audio_sectors(FCdio.get(), FSector.data(), lsn, 1) != DRIVER_OP_SUCCESS)
            return nullptr;
        for (qint16& sample : FSector)
            sample = qFromLittleEndian(sample);
        return FSector.data();
    }
    if (lsn < 0 || lsn > cdio_cddap_disc_lastsector(FParanoia.Drive()))
        return nullptr;
    if (lsn != FNext)
        cdio_paranoia_seek(FParanoia.Paranoia(), lsn, SEEK_SET);
    tEvents = &FEvents;
    // Paranoia hands out host-order samples.
    const int16_t* sector = cdio_paranoia_read_limited(FParanoia.Paranoia(), Note, kRetries);
    tEvents = nullptr;
    FNext = sector ? lsn + 1 : -1;
    return reinterpret_cast<const qint16*>(sector);
}

TRipReader::TStats TRipReader::TakeStats(qint32 first, qint32 end) {
    // Paranoia reads ahead, so what it finds is sorted out by the sectors it concerns.
    TStats out;
    QList<TEvent> later;
    for (const TEvent& e : std::as_const(FEvents)) {
        if (e.sector >= end) {
            later.append(e);
            continue;
        }
        if (e.sector < first)
            continue;
        out.rereads += e.reread;
        out.skips += e.skip;
        if (e.skip && (out.firstSkip < 0 || e.sector < out.firstSkip))
            out.firstSkip = e.sector;
        out.suspicious.append(e.sector);
    }
    FEvents = later;
    std::sort(out.suspicious.begin(), out.suspicious.end());
    out.suspicious.erase(std::unique(out.suspicious.begin(), out.suspicious.end()),
                         out.suspicious.end());
    return out;
}
