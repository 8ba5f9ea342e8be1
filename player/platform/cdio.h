#pragma once
// libcdio handles and helpers shared by the drive backends: an owning handle, opening a drive or
// image with the right driver, reading the table of contents, and libcdio's log routed to the
// "korvo.cdio" logging category.

#include "core/disctoc.h"

#include <QLoggingCategory>
#include <QString>

#include <cdio/cdio.h>

#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcCdio)

class QTemporaryDir;

// Destroys the handle, then lets go of the temporary folder an image was opened from, if any.
struct TCdioDestroy {
    std::shared_ptr<QTemporaryDir> folder;
    void operator()(CdIo_t* cdio) const { cdio_destroy(cdio); }
};
using TCdioHandle = std::unique_ptr<CdIo_t, TCdioDestroy>;

// The driver that opens an image by its file-name ending (.cue, .bin, .toc, .nrg);
// DRIVER_UNKNOWN when the ending names none of them.
driver_id_t ImageDriver(const QString& path);

// Opens a drive (DRIVER_DEVICE) or an image; null when libcdio cannot. Installs the log handler.
TCdioHandle OpenCdio(const QString& source, driver_id_t driver);

// The image file the disc's sectors come from, links resolved; empty for a drive.
QString DataFile(CdIo_t* cdio);

// A drive opened for cdparanoia's verified reads in full mode, where a sector is skipped only
// after its re-reads; closed with its owner, who keeps the CdIo handle alive longer.
class TParanoiaDrive {
public:
    TParanoiaDrive() = default;
    TParanoiaDrive(const TParanoiaDrive&) = delete;
    TParanoiaDrive& operator=(const TParanoiaDrive&) = delete;
    ~TParanoiaDrive();
    // False when the device is no audio drive cdparanoia can read.
    bool Open(CdIo_t* cdio);
    struct cdrom_drive_s* Drive() const {
        return FDrive;
    }
    struct cdrom_paranoia_s* Paranoia() const {
        return FParanoia;
    }

private:
    struct cdrom_drive_s* FDrive = nullptr;
    struct cdrom_paranoia_s* FParanoia = nullptr;
};

// The disc's tracks and lead-out; an invalid TDiscToc when there is no readable disc, or when the
// reported layout is impossible (a track past the lead-out, as an image with a short BIN gives).
TDiscToc ReadToc(CdIo_t* cdio);
