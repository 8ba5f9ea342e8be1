#pragma once
// CSampleAudio: plays one sample buffer through a wave output device and records into it from a
// wave input device, one device buffer each way. The devices come from the installed
// CWaveDeviceFactory.
//
// While it plays or records, a device reads or fills the buffer's bytes in place: the buffer is
// locked for that time (CSampleBuffer::Busy), so every edit of it refuses. The buffer must outlive
// this object; destroying it stops whatever runs and unlocks the buffer.

#include "core/samplebuffer.h"
#include "core/wavedevice.h"

#include <QtGlobal>

#include <memory>

class CSampleAudio {
public:
    explicit CSampleAudio(CSampleBuffer& buffer);
    ~CSampleAudio();
    CSampleAudio(const CSampleAudio&) = delete;
    CSampleAudio& operator=(const CSampleAudio&) = delete;

    CSampleBuffer& Buffer() const { return m_buffer; }

    bool IsPlaying() const { return m_playing; }
    bool IsRecording() const { return m_recording; }

    // 0 started, 1 already playing, -1 no data or buffer not prepared, else the device's error
    // (CWaveError::StillPlaying while the buffer is busy otherwise).
    qint16 StartPlayback(CWaveNotify* notify, int device, qint64 first, qint64 last);
    void PausePlayback();
    void ResetPlayback();
    void StopPlayback();
    quint32 GetPlayPosition();
    // Records `bytes` in the buffer's current format, replacing its data once the device runs.
    // 0 started, non-zero failed (the sample is then as it was).
    qint16 StartRecording(CWaveNotify* notify, quint32 bytes, int device);
    // Keeps what was recorded and commits the format.
    void StopRecording();
    double GetRecordFraction() const;

private:
    CSampleBuffer& m_buffer;
    std::unique_ptr<CWaveOutDevice> m_waveOut;
    CWaveHeader m_outHeader;
    std::unique_ptr<CWaveInDevice> m_waveIn;
    CWaveHeader m_inHeader;
    bool m_playing = false;
    bool m_recording = false;
    quint32 m_playStart = 0;
    quint32 m_playEnd = 0;
    quint32 m_playPosition = 0;
};
