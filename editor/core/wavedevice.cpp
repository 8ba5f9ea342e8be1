#include "core/wavedevice.h"

#include "core/samplebuffer.h"

namespace {
CWaveDeviceFactory* installedFactory = nullptr;
}

bool IsDeviceFormat(const CWaveFormat& format) {
    constexpr quint16 kPcm = 1, kFloat = 3, kExtensible = 0xFFFE;
    const bool channelsOk = format.channels == 1 || format.channels == 2;
    const quint16 bits = format.bitsPerSample;
    const bool pcm = bits == 8 || bits == 16 || bits == 24;
    const bool tagOk = format.formatTag == kExtensible || (pcm && format.formatTag == kPcm) ||
                       (bits == 32 && format.formatTag == kFloat);
    if (!tagOk || !channelsOk || !(pcm || bits == 32) || format.samplesPerSec == 0)
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
