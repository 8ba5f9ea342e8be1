#include "platform/qtwaveoutdevice.h"

#include "core/samplebuffer.h"
#include "platform/audiodevicechoice.h"

#include <QAudioSink>

#include <utility>

namespace {
// How often the clock is read while the server plays the last bytes it was given.
constexpr int kDrainCheckMs = 10;
// Slack for the server's clock after the sink has taken the last byte.
constexpr qint64 kDrainSlackMs = 300;
// A clock this close to the end has played the buffer.
constexpr quint64 kEndToleranceMs = 2;
} // namespace

CQtWaveOutDevice::CQtWaveOutDevice() {
    m_drainCheck.setInterval(kDrainCheckMs);
    connect(&m_drainCheck, &QTimer::timeout, this, &CQtWaveOutDevice::CheckPlayedOut);
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
    connect(m_sink.get(), &QAudioSink::stateChanged, this, &CQtWaveOutDevice::OnStateChanged);
    m_blockAlign = format.blockAlign;
    m_bytesPerSecond = format.avgBytesPerSec;
    m_depth = DepthForBits(format.bitsPerSample);
    m_serverFormat = audioFormat.sampleFormat();
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
    m_source.Start(header.data, header.bufferLength, m_depth, m_serverFormat);
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
    m_drainCheck.stop();
    if (CWaveHeader* header = std::exchange(m_header, nullptr))
        header->flags &= ~quint32(CWaveHeader::InQueue);
    m_sink->reset();
    m_sink.reset();
    m_source.close();
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

void CQtWaveOutDevice::OnStateChanged(QAudio::State state) {
    if (!m_header)
        return;
    switch (state) {
    case QAudio::StoppedState:
        if (m_sink->error() != QAudio::NoError) {
            // The server dropped the stream; what was heard is all there will be.
            qCWarning(lcWaveAudio) << "playback stopped by the sound server:" << m_sink->error();
            ReturnBuffer(PlayedBytes());
        }
        break;
    case QAudio::IdleState:
        // Idle comes when the sink has handed the server the last byte, a latency before the
        // byte is heard.
        if (m_source.atEnd() && !m_drainCheck.isActive()) {
            m_drained.start();
            m_drainCheck.start();
            CheckPlayedOut();
        }
        break;
    default:
        m_drainCheck.stop();
        break;
    }
}

void CQtWaveOutDevice::CheckPlayedOut() {
    if (!m_header)
        return;
    const quint32 played = PlayedBytes();
    // After resampling the server's clock may stop a frame or two short of the end.
    const quint64 shortfall = m_header->bufferLength - played;
    if (shortfall * 1000 <= quint64(m_bytesPerSecond) * kEndToleranceMs) {
        ReturnBuffer(m_header->bufferLength);
        return;
    }
    // Wait for the clock to pass the end, but not for ever.
    const qint64 remainingMs = m_bytesPerSecond ? qint64(shortfall * 1000 / m_bytesPerSecond) : 0;
    if (m_drained.elapsed() > remainingMs + kDrainSlackMs)
        ReturnBuffer(m_header->bufferLength);
}

void CQtWaveOutDevice::ReturnBuffer(quint32 played) {
    CWaveHeader* header = std::exchange(m_header, nullptr);
    m_drainCheck.stop();
    m_played = played;
    m_sink->reset();
    m_source.close();
    header->flags = (header->flags & ~quint32(CWaveHeader::InQueue)) | CWaveHeader::Done;
    emit BufferDone();
}
