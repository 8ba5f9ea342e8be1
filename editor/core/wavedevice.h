#pragma once
// The wave output and input devices the sample buffer plays through and records into. Each plays
// or fills exactly one buffer of one format; completion arrives on the GUI thread through the
// notification object given at open. The real devices live in the platform layer; tests use fakes.

#include <QtGlobal>

// One device buffer: where the bytes are, how many, and how many a recording has filled.
struct CWaveHeader {
    quint8* data = nullptr;
    quint32 bufferLength = 0;
    quint32 bytesRecorded = 0;
    quintptr user = 0;
    quint32 flags = 0;
    quint32 loops = 0;
    CWaveHeader* next = nullptr;
    quintptr reserved = 0;
};

class CWaveOutDevice {
public:
    virtual ~CWaveOutDevice() = default;
};

class CWaveInDevice {
public:
    virtual ~CWaveInDevice() = default;
};
