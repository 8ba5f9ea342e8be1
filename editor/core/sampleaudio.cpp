// The playback and recording engine: one device buffer each way. Playback hands the whole range
// to the output device at once; recording allocates the whole duration up front and lets the
// input device fill it.

#include "core/sampleaudio.h"

#include "core/reporter.h"

#include <algorithm>

namespace {

qint16 Code(CWaveError error) {
    return qint16(error);
}

} // namespace

CSampleAudio::CSampleAudio(CSampleBuffer& buffer) : m_buffer(buffer) {}

// Stopping first returns the device buffers, so no device is left running on the buffer's memory.
CSampleAudio::~CSampleAudio() {
    if (m_playing)
        StopPlayback();
    if (m_recording)
        StopRecording();
}

qint16 CSampleAudio::StartPlayback(CWaveNotify* notify, int device, qint64 first, qint64 last) {
    if (m_playing)
        return 1;
    // A range outside the sample would hand the device bytes that are not there.
    if (!m_buffer.ResolveRange(first, last))
        return -1;
    // Another engine's device has the data; two would unlock it for each other.
    if (m_buffer.Busy())
        return Code(CWaveError::StillPlaying);
    CWaveDeviceFactory* factory = CWaveDeviceFactory::Installed();
    std::unique_ptr<CWaveOutDevice> out = factory ? factory->CreateOutput() : nullptr;
    if (!out)
        return Code(CWaveError::NoDriver);
    if (const CWaveError error = out->Open(device, m_buffer.m_format); error != CWaveError::None)
        return Code(error);

    const quint32 frameBytes = m_buffer.BytesPerFrame();
    m_outHeader = CWaveHeader{};
    m_outHeader.data = m_buffer.m_data + quint64(first) * frameBytes;
    m_outHeader.bufferLength = quint32(quint64(last - first + 1) * frameBytes);
    if (out->Prepare(m_outHeader) != CWaveError::None) {
        out->Close();
        return -1;
    }
    if (notify)
        QObject::connect(out.get(), &CWaveDevice::BufferDone, notify, &CWaveNotify::OutputDone,
                         Qt::QueuedConnection);
    // A buffer the device would not take never comes back, so the caller would wait for a
    // notification forever: close the device and say why.
    if (const CWaveError error = out->Write(m_outHeader); error != CWaveError::None) {
        out->Unprepare(m_outHeader);
        out->Close();
        return Code(error);
    }
    m_waveOut = std::move(out);
    m_playStart = quint32(first);
    m_playEnd = quint32(last);
    m_playPosition = m_playStart;
    m_playing = true;
    m_buffer.m_lock = CSampleBuffer::CDataLock::Read;
    return 0;
}

void CSampleAudio::PausePlayback() {
    if (m_waveOut)
        m_waveOut->Pause();
}

void CSampleAudio::ResetPlayback() {
    if (m_waveOut)
        m_waveOut->Reset();
}

void CSampleAudio::StopPlayback() {
    if (m_waveOut) {
        // Called before the buffer came back: stop it here, and without a notification that
        // could arrive after the next playback has started and stop that one.
        QObject::disconnect(m_waveOut.get(), &CWaveDevice::BufferDone, nullptr, nullptr);
        m_waveOut->Reset();
        m_waveOut->Unprepare(m_outHeader);
        m_waveOut->Close();
        m_waveOut.reset();
    }
    if (m_playing)
        m_buffer.m_lock = CSampleBuffer::CDataLock::None;
    m_playing = false;
}

quint32 CSampleAudio::GetPlayPosition() {
    quint32 bytes = 0;
    if (!m_waveOut || m_waveOut->GetPosition(bytes) != CWaveError::None)
        return m_playEnd;
    m_playPosition = std::min(m_playStart + bytes / m_buffer.BytesPerFrame(), m_playEnd);
    return m_playPosition;
}

qint16 CSampleAudio::StartRecording(CWaveNotify* notify, quint32 bytes, int device) {
    if (m_recording) {
        m_waveIn->Reset();
        return 0;
    }
    // Recording replaces the data block the output device is still reading.
    if (m_buffer.Busy())
        return Code(CWaveError::StillPlaying);
    CWaveDeviceFactory* factory = CWaveDeviceFactory::Installed();
    std::unique_ptr<CWaveInDevice> in = factory ? factory->CreateInput() : nullptr;
    if (!in)
        return Code(CWaveError::NoDriver);

    // The new block is had and the device is running before the old data goes, so a recording
    // that cannot start leaves the sample as it was.
    CMemoryBlock block;
    if (!block.Allocate(bytes)) {
        ReportMessage(
            CMessage{QStringLiteral("Error - Out of Memory!"), QString(), CMessageIcon::Warning});
        return Code(CWaveError::NoMemory);
    }
    if (const CWaveError error = in->Open(device, m_buffer.m_format); error != CWaveError::None)
        return Code(error);

    m_inHeader = CWaveHeader{};
    m_inHeader.data = block.Data();
    m_inHeader.bufferLength = bytes;
    CWaveError error = in->Prepare(m_inHeader);
    if (error == CWaveError::None) {
        if (notify)
            QObject::connect(in.get(), &CWaveDevice::BufferDone, notify, &CWaveNotify::InputData,
                             Qt::QueuedConnection);
        error = in->AddBuffer(m_inHeader);
    }
    if (error == CWaveError::None)
        error = in->Start();
    if (error != CWaveError::None) {
        QObject::disconnect(in.get(), &CWaveDevice::BufferDone, nullptr, nullptr);
        in->Close();
        m_inHeader = CWaveHeader{};
        return Code(error);
    }

    m_buffer.FreeData();
    m_buffer.m_memory = std::move(block);
    m_buffer.m_data = m_buffer.m_memory.Data();
    m_buffer.SetByteLength(bytes);
    m_waveIn = std::move(in);
    m_recording = true;
    m_buffer.m_lock = CSampleBuffer::CDataLock::Fill;
    return 0;
}

void CSampleAudio::StopRecording() {
    if (!m_recording)
        return;
    // Stopped by the user before the buffer was full: the device's own notification for the
    // returned buffer must not reach a later recording.
    QObject::disconnect(m_waveIn.get(), &CWaveDevice::BufferDone, nullptr, nullptr);
    m_waveIn->Reset();
    m_waveIn->Unprepare(m_inHeader);
    m_waveIn->Close();
    m_waveIn.reset();
    m_recording = false;
    m_buffer.m_lock = CSampleBuffer::CDataLock::None;

    const quint32 recorded = std::min(m_inHeader.bytesRecorded, m_buffer.m_byteLength);
    if (recorded == 0) {
        m_buffer.FreeData();
    } else if (recorded != m_buffer.m_byteLength) {
        // Shrinking cannot really fail; if it did, the block is merely larger than the sample.
        m_buffer.ResizeData(recorded);
        m_buffer.SetByteLength(recorded);
    }
    m_buffer.CommitFormat();
}

double CSampleAudio::GetRecordFraction() const {
    if (m_inHeader.bufferLength == 0)
        return 0.0;
    quint32 bytes = m_inHeader.bytesRecorded;
    if (m_waveIn)
        m_waveIn->GetPosition(bytes);
    return std::min(1.0, double(bytes) / double(m_inHeader.bufferLength));
}
