#include "platform/qtwaveoutdevice.h"

#include "core/samplebuffer.h"
#include "platform/audiodevicechoice.h"

#include <QAudioSink>

namespace {
// How often a queued buffer is checked for its end; well below the view's 50 ms marker timer.
constexpr int kPollMs = 10;
// Slack for the server's clock after the sink has taken the last byte.
constexpr qint64 kDrainSlackMs = 300;
// A clock this close to the end has played the buffer.
constexpr quint64 kEndToleranceMs = 2;
} // namespace

CQtWaveOutDevice::CQtWaveOutDevice() {
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &CQtWaveOutDevice::CheckPlayedOut);
}

CQtWaveOutDevice::~CQtWaveOutDevice() {
    Close();
}

CWaveError CQtWaveOutDevice::Open(int device, const CWaveFormat& format) {
    if (m_sink)
        return CWaveError::Allocated;
    QAudioDevice audioDevice;
    QAudioFormat audioFormat;
    const CWaveError error =
        ChooseAudioDevice(QAudioDevice::Output, device, format, audioDevice, audioFormat);
    if (error != CWaveError::None)
        return error;
    m_sink = std::make_unique<QAudioSink>(audioDevice, audioFormat);
    m_blockAlign = format.blockAlign;
    m_bytesPerSecond = format.avgBytesPerSec;
    m_played = 0;
    return CWaveError::None;
}

CWaveError CQtWaveOutDevice::Write(CWaveHeader& header) {
    if (!m_sink)
        return CWaveError::InvalidHandle;
    if (!(header.flags & CWaveHeader::Prepared))
        return CWaveError::Unprepared;
    if (m_header)
        return CWaveError::StillPlaying;
    m_source.close();
    m_bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(header.data),
                                      qsizetype(header.bufferLength));
    m_source.setBuffer(&m_bytes);
    m_source.open(QIODevice::ReadOnly);
    m_sink->start(&m_source);
    if (m_sink->error() != QAudio::NoError || m_sink->state() == QAudio::StoppedState) {
        qCWarning(lcWaveAudio) << "the sound server did not start playing:" << m_sink->error();
        m_sink->reset();
        m_source.close();
        return CWaveError::DeviceFailed;
    }
    header.flags = (header.flags & ~quint32(CWaveHeader::Done)) | CWaveHeader::InQueue;
    m_header = &header;
    m_played = 0;
    m_paused = false;
    m_drained.invalidate();
    m_poll.start();
    return CWaveError::None;
}

CWaveError CQtWaveOutDevice::Pause() {
    if (!m_sink)
        return CWaveError::InvalidHandle;
    if (m_header && !m_paused) {
        PlayedBytes();
        m_paused = true;
        m_sink->suspend();
    }
    return CWaveError::None;
}

CWaveError CQtWaveOutDevice::Reset() {
    if (!m_sink)
        return CWaveError::InvalidHandle;
    if (m_header)
        ReturnBuffer(PlayedBytes());
    return CWaveError::None;
}

CWaveError CQtWaveOutDevice::GetPosition(quint32& bytes) const {
    if (!m_sink)
        return CWaveError::InvalidHandle;
    bytes = PlayedBytes();
    return CWaveError::None;
}

CWaveError CQtWaveOutDevice::Close() {
    if (!m_sink)
        return CWaveError::InvalidHandle;
    m_poll.stop();
    m_sink->reset();
    m_sink.reset();
    m_source.close();
    if (m_header)
        m_header->flags &= ~quint32(CWaveHeader::InQueue);
    m_header = nullptr;
    return CWaveError::None;
}

quint32 CQtWaveOutDevice::PlayedBytes() const {
    if (m_header && !m_paused) {
        const quint64 bytes = quint64(m_sink->processedUSecs()) * m_bytesPerSecond / 1000000;
        const quint64 whole = qMin<quint64>(bytes - bytes % m_blockAlign, m_header->bufferLength);
        m_played = qMax(m_played, quint32(whole));
    }
    return m_played;
}

void CQtWaveOutDevice::CheckPlayedOut() {
    if (!m_header)
        return;
    // Reading the clock on every tick keeps the server's timing information current.
    const quint32 played = PlayedBytes();
    const QAudio::State state = m_sink->state();
    if (state == QAudio::StoppedState) {
        // The server dropped the stream; what was heard is all there will be.
        qCWarning(lcWaveAudio) << "playback stopped by the sound server:" << m_sink->error();
        ReturnBuffer(played);
        return;
    }
    if (state != QAudio::IdleState || !m_source.atEnd()) {
        m_drained.invalidate();
        return;
    }
    // After resampling the server's clock may stop a frame or two short of the end.
    const quint64 shortfall = m_header->bufferLength - played;
    if (shortfall * 1000 <= quint64(m_bytesPerSecond) * kEndToleranceMs) {
        ReturnBuffer(m_header->bufferLength);
        return;
    }
    // Everything is with the server; wait for its clock to pass the end, but not for ever.
    if (!m_drained.isValid())
        m_drained.start();
    const qint64 remainingMs =
        m_bytesPerSecond ? qint64(m_header->bufferLength - played) * 1000 / m_bytesPerSecond : 0;
    if (m_drained.elapsed() > remainingMs + kDrainSlackMs)
        ReturnBuffer(m_header->bufferLength);
}

void CQtWaveOutDevice::ReturnBuffer(quint32 played) {
    m_poll.stop();
    m_played = played;
    m_sink->reset();
    m_source.close();
    m_header->flags = (m_header->flags & ~quint32(CWaveHeader::InQueue)) | CWaveHeader::Done;
    m_header = nullptr;
    emit BufferDone();
}
