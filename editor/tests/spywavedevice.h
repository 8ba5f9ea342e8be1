#pragma once
// Wraps the real wave devices and writes down what the engine handed them, so tests against the
// sound server can check the exact bytes queued and that nothing is left open. Every call goes
// through to the real device unchanged. CSpyWaveDeviceFactory installs itself for its lifetime.

#include "core/wavedevice.h"
#include "fakewavedevice.h"

#include <memory>

template <typename Base> class CSpyWaveDevice : public Base {
public:
    CSpyWaveDevice(std::unique_ptr<Base> inner, CWaveDeviceLog& log)
        : m_inner(std::move(inner)), m_log(log) {
        ++m_log.created;
        QObject::connect(m_inner.get(), &CWaveDevice::BufferDone, this, &CWaveDevice::BufferDone);
    }
    ~CSpyWaveDevice() override { Close(); }

    CWaveError Open(int device, const CWaveFormat& format) override {
        const CWaveError error = m_inner->Open(device, format);
        if (error == CWaveError::None) {
            m_open = true;
            ++m_log.open;
            m_log.device = device;
            m_log.format = format;
        }
        return error;
    }
    CWaveError Reset() override { return m_inner->Reset(); }
    CWaveError GetPosition(quint32& bytes) const override { return m_inner->GetPosition(bytes); }
    CWaveError Close() override {
        if (m_open) {
            m_open = false;
            --m_log.open;
            ++m_log.closes;
        }
        return m_inner->Close();
    }

protected:
    CWaveError Queued(CWaveError error, const CWaveHeader& header) {
        if (error == CWaveError::None) {
            m_log.queuedData = header.data;
            m_log.queuedLength = header.bufferLength;
        }
        return error;
    }

    std::unique_ptr<Base> m_inner;
    CWaveDeviceLog& m_log;
    bool m_open = false;
};

class CSpyWaveOutDevice : public CSpyWaveDevice<CWaveOutDevice> {
public:
    using CSpyWaveDevice::CSpyWaveDevice;
    CWaveError Write(CWaveHeader& header) override {
        return Queued(m_inner->Write(header), header);
    }
    CWaveError Pause() override {
        m_log.paused = true;
        return m_inner->Pause();
    }
};

class CSpyWaveInDevice : public CSpyWaveDevice<CWaveInDevice> {
public:
    using CSpyWaveDevice::CSpyWaveDevice;
    CWaveError AddBuffer(CWaveHeader& header) override {
        return Queued(m_inner->AddBuffer(header), header);
    }
    CWaveError Start() override { return m_inner->Start(); }
};

class CSpyWaveDeviceFactory : public CWaveDeviceFactory {
public:
    explicit CSpyWaveDeviceFactory(CWaveDeviceFactory& real) : m_real(real) {
        CWaveDeviceFactory::Install(this);
    }
    ~CSpyWaveDeviceFactory() override { CWaveDeviceFactory::Install(nullptr); }

    std::unique_ptr<CWaveOutDevice> CreateOutput() override {
        return std::make_unique<CSpyWaveOutDevice>(m_real.CreateOutput(), log);
    }
    std::unique_ptr<CWaveInDevice> CreateInput() override {
        return std::make_unique<CSpyWaveInDevice>(m_real.CreateInput(), log);
    }

    CWaveDeviceLog log;

private:
    CWaveDeviceFactory& m_real;
};
