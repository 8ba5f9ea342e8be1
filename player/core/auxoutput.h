#pragma once
// Auxiliary audio output devices: the volume controls the player can drive. Devices are counted
// from 0; a volume word holds the left channel in its low and the right channel in its high 16
// bits, each 0 (silent) to 65535 (full).

#include <QString>
#include <QtGlobal>

class TAuxOutput {
public:
    virtual ~TAuxOutput() = default;
    virtual int DeviceCount() const = 0;
    // The device's product name; false when its capabilities cannot be read.
    virtual bool DeviceName(int device, QString& name) const = 0;
    virtual bool GetVolume(int device, quint32& volume) = 0;
    virtual bool SetVolume(int device, quint32 volume) = 0;

    static quint32 MakeVolume(quint16 left, quint16 right) { return left | (quint32(right) << 16); }
    static quint16 LeftOf(quint32 volume) { return quint16(volume & 0xFFFF); }
    static quint16 RightOf(quint32 volume) { return quint16(volume >> 16); }
};
