#include "platform/qtwavedevicefactory.h"

#include "platform/qtwaveindevice.h"
#include "platform/qtwaveoutdevice.h"

std::unique_ptr<CWaveOutDevice> CQtWaveDeviceFactory::CreateOutput() {
    return std::make_unique<CQtWaveOutDevice>();
}

std::unique_ptr<CWaveInDevice> CQtWaveDeviceFactory::CreateInput() {
    return std::make_unique<CQtWaveInDevice>();
}
