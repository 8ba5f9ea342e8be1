#include "platform/audiodevicechoice.h"

#include "core/samplebuffer.h"
#include "platform/wavesampleformat.h"

#include <QMediaDevices>

Q_LOGGING_CATEGORY(lcWaveAudio, "wlpro.audio")

CWaveError ChooseAudioDevice(QAudioDevice::Mode mode, int number, const CWaveFormat& format,
                             QAudioDevice& device, QAudioFormat& audioFormat) {
    const bool output = mode == QAudioDevice::Output;
    const QList<QAudioDevice> devices =
        output ? QMediaDevices::audioOutputs() : QMediaDevices::audioInputs();
    if (devices.isEmpty())
        return CWaveError::NoDriver;
    if (number == -1)
        device = output ? QMediaDevices::defaultAudioOutput() : QMediaDevices::defaultAudioInput();
    else if (number >= 0 && number < devices.size())
        device = devices[number];
    else
        return CWaveError::BadDeviceId;
    if (device.isNull())
        return CWaveError::NoDriver;

    if (!IsDeviceFormat(format))
        return CWaveError::BadFormat;
    audioFormat = QAudioFormat();
    audioFormat.setSampleRate(int(qMin<quint32>(format.samplesPerSec, INT_MAX)));
    audioFormat.setChannelCount(format.channels);
    for (const QAudioFormat::SampleFormat sampleFormat :
         ServerFormatsFor(DepthForBits(format.bitsPerSample), mode)) {
        audioFormat.setSampleFormat(sampleFormat);
        if (device.isFormatSupported(audioFormat))
            return CWaveError::None;
        qCInfo(lcWaveAudio) << device.description() << "refuses" << audioFormat;
    }
    return CWaveError::BadFormat;
}
