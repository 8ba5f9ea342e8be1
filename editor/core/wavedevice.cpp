#include "core/wavedevice.h"

#include "core/samplebuffer.h"

namespace {
CWaveDeviceFactory* installedFactory = nullptr;
}

bool IsDeviceFormat(const CWaveFormat& format) {
    const bool channelsOk = format.channels == 1 || format.channels == 2;
    const bool bitsOk = format.bitsPerSample == 8 || format.bitsPerSample == 16;
    if (format.formatTag != 1 || !channelsOk || !bitsOk || format.samplesPerSec == 0)
        return false;
    const quint32 blockAlign = quint32(format.channels) * format.bitsPerSample / 8;
    return format.blockAlign == blockAlign &&
           quint64(format.avgBytesPerSec) == quint64(format.samplesPerSec) * blockAlign;
}

CWaveError CWaveDevice::Prepare(CWaveHeader& header) const {
    if (!header.data || header.bufferLength == 0)
        return CWaveError::InvalidParameter;
    header.flags |= CWaveHeader::Prepared;
    header.flags &= ~quint32(CWaveHeader::Done);
    return CWaveError::None;
}

CWaveError CWaveDevice::Unprepare(CWaveHeader& header) const {
    if (header.flags & CWaveHeader::InQueue)
        return CWaveError::StillPlaying;
    header.flags &= ~quint32(CWaveHeader::Prepared);
    return CWaveError::None;
}

void CWaveDeviceFactory::Install(CWaveDeviceFactory* factory) {
    installedFactory = factory;
}

CWaveDeviceFactory* CWaveDeviceFactory::Installed() {
    return installedFactory;
}
