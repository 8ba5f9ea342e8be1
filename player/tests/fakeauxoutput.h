#pragma once
// Volume devices held in memory, for unit tests of the volume slider and the device dialog.
// A device with an empty name stands for one whose capabilities cannot be read.

#include "core/auxoutput.h"

#include <QStringList>
#include <QVector>

class TFakeAuxOutput : public TAuxOutput {
public:
    explicit TFakeAuxOutput(const QStringList& names) : FNames(names), FVolumes(names.size(), 0) {}

    int DeviceCount() const override { return int(FNames.size()); }
    bool DeviceName(int device, QString& name) const override {
        if (!Valid(device) || FNames[device].isEmpty())
            return false;
        name = FNames[device];
        return true;
    }
    bool GetVolume(int device, quint32& volume) override {
        if (!Valid(device))
            return false;
        volume = FVolumes[device];
        return true;
    }
    bool SetVolume(int device, quint32 volume) override {
        ++SetCalls;
        if (!Valid(device))
            return false;
        FVolumes[device] = volume;
        return true;
    }
    quint32 Volume(int device) const { return FVolumes[device]; }

    int SetCalls = 0;

private:
    bool Valid(int device) const { return device >= 0 && device < FNames.size(); }
    QStringList FNames;
    QVector<quint32> FVolumes;
};
