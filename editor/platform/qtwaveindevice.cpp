#include "platform/qtwaveindevice.h"

#include "core/samplebuffer.h"
#include "platform/audiodevicechoice.h"
#include "platform/wavesampleformat.h"

#include <QAudioSource>

namespace {
// The source is read on a timer: for this server Qt's source never signals readyRead.
constexpr int kPollMs = 10;
} // namespace

CQtWaveInDevice::CQtWaveInDevice() {
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CQtWaveInDevice::Collect);
}

CQtWaveInDevice::~CQtWaveInDevice() {
    Close();
}

CWaveError CQtWaveInDevice::Open(int device, const CWaveFormat& format) {
    if (m_source)
        return CWaveError::Allocated;
    QAudioDevice audioDevice;
    QAudioFormat audioFormat;
    const CWaveError error =
        ChooseAudioDevice(QAudioDevice::Input, device, format, audioDevice, audioFormat);
    if (error != CWaveError::None)
        return error;
    m_source = std::make_unique<QAudioSource>(audioDevice, audioFormat);
    m_blockAlign = format.blockAlign;
    m_serverFrameBytes = quint32(audioFormat.bytesPerFrame());
    m_channels = format.channels;
    m_depth = DepthForBits(format.bitsPerSample);
    m_serverFormat = audioFormat.sampleFormat();
    m_bytesPerSecond = format.avgBytesPerSec;
    m_heldPosition = 0;
    return CWaveError::None;
}

CWaveError CQtWaveInDevice::AddBuffer(CWaveHeader& header) {
    if (!m_source)
        return CWaveError::InvalidHandle;
    if (!(header.flags & CWaveHeader::Prepared))
        return CWaveError::Unprepared;
    if (m_header)
        return CWaveError::StillPlaying;
    header.bytesRecorded = 0;
    header.flags = (header.flags & ~quint32(CWaveHeader::Done)) | CWaveHeader::InQueue;
    m_header = &header;
    m_heldPosition = 0;
    return CWaveError::None;
}

CWaveError CQtWaveInDevice::Start() {
    if (!m_source)
        return CWaveError::InvalidHandle;
    if (m_stream)
        return CWaveError::None;
    m_pending.clear();
    m_stream = m_source->start();
    if (!m_stream || m_source->error() != QAudio::NoError ||
        m_source->state() == QAudio::StoppedState) {
        qCWarning(lcWaveAudio) << "the sound server did not start recording:" << m_source->error();
        m_source->reset();
        m_stream = nullptr;
        return CWaveError::DeviceFailed;
    }
    m_clock.start();
    m_poll.start();
    return CWaveError::None;
}

CWaveError CQtWaveInDevice::Reset() {
    if (!m_source)
        return CWaveError::InvalidHandle;
    // The buffer keeps what the device had taken by its last poll.
    if (m_header)
        ReturnBuffer();
    return CWaveError::None;
}

CWaveError CQtWaveInDevice::GetPosition(quint32& bytes) const {
    if (!m_source)
        return CWaveError::InvalidHandle;
    bytes = m_header ? m_header->bytesRecorded : m_heldPosition;
    return CWaveError::None;
}

CWaveError CQtWaveInDevice::Close() {
    if (!m_source)
        return CWaveError::InvalidHandle;
    m_poll.stop();
    m_source->reset();
    m_source.reset();
    m_stream = nullptr;
    m_pending.clear();
    if (m_header)
        m_header->flags &= ~quint32(CWaveHeader::InQueue);
    m_header = nullptr;
    return CWaveError::None;
}

quint64 CQtWaveInDevice::BytesDue() const {
    const quint64 bytes = quint64(m_clock.nsecsElapsed()) * m_bytesPerSecond / 1000000000;
    return bytes - bytes % m_blockAlign;
}

void CQtWaveInDevice::Collect() {
    if (!m_stream || !m_header)
        return;
    m_pending += m_stream->readAll();
    // Whole frames only: a buffer whose length is not a multiple of the frame is full when no
    // further frame fits.
    const quint32 capacity = m_header->bufferLength - m_header->bufferLength % m_blockAlign;
    const quint64 room = qMin<quint64>(capacity, BytesDue()) - m_header->bytesRecorded;
    const quint64 frames =
        qMin(room / m_blockAlign, quint64(m_pending.size()) / m_serverFrameBytes);
    if (frames > 0) {
        FromServerSamples(m_serverFormat, reinterpret_cast<const quint8*>(m_pending.constData()),
                          m_depth, m_header->data + m_header->bytesRecorded, frames * m_channels);
        m_header->bytesRecorded += quint32(frames * m_blockAlign);
        m_pending.remove(0, qsizetype(frames * m_serverFrameBytes));
    }
    if (m_header->bytesRecorded >= capacity) {
        ReturnBuffer();
        return;
    }
    if (m_source->state() == QAudio::StoppedState) {
        qCWarning(lcWaveAudio) << "recording stopped by the sound server:" << m_source->error();
        ReturnBuffer();
    }
}

void CQtWaveInDevice::ReturnBuffer() {
    m_poll.stop();
    m_source->reset();
    m_stream = nullptr;
    m_pending.clear();
    m_heldPosition = m_header->bytesRecorded;
    m_header->flags = (m_header->flags & ~quint32(CWaveHeader::InQueue)) | CWaveHeader::Done;
    m_header = nullptr;
    emit BufferDone();
}
