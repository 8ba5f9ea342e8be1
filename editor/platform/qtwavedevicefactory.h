#pragma once
// The factory the editor installs at start: wave devices of the running sound server through
// Qt Multimedia.

#include "core/wavedevice.h"

class CQtWaveDeviceFactory : public CWaveDeviceFactory {
public:
    std::unique_ptr<CWaveOutDevice> CreateOutput() override;
    std::unique_ptr<CWaveInDevice> CreateInput() override;
};
