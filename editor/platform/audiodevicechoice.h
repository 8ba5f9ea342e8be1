#pragma once
// How the wave devices pick a Qt Multimedia device and format for a device number and a wave
// format record. Shared by the output and the input device.

#include "core/samplebuffer.h"
#include "core/wavedevice.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWaveAudio)

// Device `number` (-1: the system's default) of the outputs or inputs, and the Qt format that
// carries `format`: its own where the device has it, else the first of ServerFormatsFor the
// device takes (the device then converts). NoDriver when the system has no device of that kind,
// BadDeviceId for a number past the list, BadFormat when the record is none of IsDeviceFormat's
// or the device refuses every format that could carry it.
CWaveError ChooseAudioDevice(QAudioDevice::Mode mode, int number, const CWaveFormat& format,
                             QAudioDevice& device, QAudioFormat& audioFormat);
