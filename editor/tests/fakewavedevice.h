#pragma once
// Wave devices for unit tests of the engine: they play and record nothing, remember what they
// were asked, and let the test move the position, deliver sound, fail on purpose and hand the
// buffer back. CFakeWaveDeviceFactory installs itself for its lifetime.

#include "core/samplebuffer.h"
#include "core/wavedevice.h"

#include <QByteArray>

#include <cstring>

class CFakeWaveDeviceFactory;

// Everything the fakes were asked, kept by the factory so it outlives the devices.
struct CWaveDeviceLog {
    int created = 0;
    int open = 0; // devices open right now
    int closes = 0;
    int device = 0;
    CWaveFormat format;
    const quint8* queuedData = nullptr;
    quint32 queuedLength = 0;
    bool paused = false;
};

// Open, Write/AddBuffer and Start answer with these when they are not None.
struct CFakeWaveFailures {
    CWaveError open = CWaveError::None;
    CWaveError queue = CWaveError::None;
    CWaveError start = CWaveError::None;
};

template <typename Base> class CFakeWaveDevice : public Base {
public:
    explicit CFakeWaveDevice(CWaveDeviceLog& log, const CFakeWaveFailures& failures)
        : m_log(log), m_failures(failures) {
        ++m_log.created;
    }
    ~CFakeWaveDevice() override { Close(); }

    CWaveError Open(int device, const CWaveFormat& format) override {
        if (m_open)
            return CWaveError::Allocated;
        if (m_failures.open != CWaveError::None)
            return m_failures.open;
        m_open = true;
        ++m_log.open;
        m_log.device = device;
        m_log.format = format;
        return CWaveError::None;
    }
    CWaveError Reset() override {
        if (!m_open)
            return CWaveError::InvalidHandle;
        if (m_header)
            ReturnBuffer();
        return CWaveError::None;
    }
    CWaveError GetPosition(quint32& bytes) const override {
        if (!m_open)
            return CWaveError::InvalidHandle;
        bytes = m_position;
        return CWaveError::None;
    }
    CWaveError Close() override {
        if (!m_open)
            return CWaveError::InvalidHandle;
        m_open = false;
        --m_log.open;
        ++m_log.closes;
        if (m_header)
            m_header->flags &= ~quint32(CWaveHeader::InQueue);
        m_header = nullptr;
        return CWaveError::None;
    }

    bool HasBuffer() const { return m_header != nullptr; }
    // The device's position moves to `bytes`.
    void SetPosition(quint32 bytes) { m_position = bytes; }
    // The buffer comes back as if played out or filled.
    void ReturnBuffer() {
        m_header->flags = (m_header->flags & ~quint32(CWaveHeader::InQueue)) | CWaveHeader::Done;
        m_header = nullptr;
        emit this->BufferDone();
    }

protected:
    CWaveError Queue(CWaveHeader& header) {
        if (!m_open)
            return CWaveError::InvalidHandle;
        if (!(header.flags & CWaveHeader::Prepared))
            return CWaveError::Unprepared;
        if (m_failures.queue != CWaveError::None)
            return m_failures.queue;
        header.flags |= CWaveHeader::InQueue;
        m_header = &header;
        m_log.queuedData = header.data;
        m_log.queuedLength = header.bufferLength;
        return CWaveError::None;
    }

    CWaveDeviceLog& m_log;
    const CFakeWaveFailures& m_failures;
    CWaveHeader* m_header = nullptr;
    quint32 m_position = 0;
    bool m_open = false;
};

class CFakeWaveOutDevice : public CFakeWaveDevice<CWaveOutDevice> {
public:
    using CFakeWaveDevice::CFakeWaveDevice;
    CWaveError Write(CWaveHeader& header) override { return Queue(header); }
    CWaveError Pause() override {
        m_log.paused = true;
        return m_open ? CWaveError::None : CWaveError::InvalidHandle;
    }
};

class CFakeWaveInDevice : public CFakeWaveDevice<CWaveInDevice> {
public:
    using CFakeWaveDevice::CFakeWaveDevice;
    CWaveError AddBuffer(CWaveHeader& header) override {
        header.bytesRecorded = 0;
        return Queue(header);
    }
    CWaveError Start() override {
        if (!m_open)
            return CWaveError::InvalidHandle;
        return m_failures.start;
    }
    // Sound arrives; the buffer comes back when it is full.
    void Deliver(const QByteArray& bytes) {
        const quint32 room = m_header->bufferLength - m_header->bytesRecorded;
        const quint32 take = qMin<quint32>(room, quint32(bytes.size()));
        std::memcpy(m_header->data + m_header->bytesRecorded, bytes.constData(), take);
        m_header->bytesRecorded += take;
        m_position = m_header->bytesRecorded;
        if (m_header->bytesRecorded == m_header->bufferLength)
            ReturnBuffer();
    }
};

class CFakeWaveDeviceFactory : public CWaveDeviceFactory {
public:
    CFakeWaveDeviceFactory() { CWaveDeviceFactory::Install(this); }
    ~CFakeWaveDeviceFactory() override { CWaveDeviceFactory::Install(nullptr); }

    std::unique_ptr<CWaveOutDevice> CreateOutput() override {
        auto device = std::make_unique<CFakeWaveOutDevice>(log, failures);
        output = device.get();
        return device;
    }
    std::unique_ptr<CWaveInDevice> CreateInput() override {
        auto device = std::make_unique<CFakeWaveInDevice>(log, failures);
        input = device.get();
        return device;
    }

    CWaveDeviceLog log;
    CFakeWaveFailures failures;
    // The devices last made; only valid while the sample buffer keeps them.
    CFakeWaveOutDevice* output = nullptr;
    CFakeWaveInDevice* input = nullptr;
};
