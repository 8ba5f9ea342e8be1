#pragma once
// CRecordProgressDlg: "Recording...", the dialog that runs one recording into a sample buffer. It
// starts the recording when it opens, shows the part recorded and the time left every 100 ms,
// and closes by itself when the buffer is full; "&Stop" (or closing it) ends the recording
// early, and the sample keeps what was recorded so far.
//
// When the recording cannot start ("Couldn't record", after any message of the engine's own) the
// sample keeps its data and its format, and the dialog stays until "&Stop".

#include "core/samplebuffer.h"
#include "core/wavedevice.h"

#include <QDialog>
#include <QTimer>

class CSampleAudio;
class QLabel;
class QProgressBar;
class QPushButton;

class CRecordProgressDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kProgressRange = 10000;
    static constexpr int kTickMs = 100;

    explicit CRecordProgressDlg(QWidget* parent = nullptr);

    // The format being recorded, "%d Hz, %d bit %s", shown beside "Recording:".
    void SetFormatText(const QString& text);
    // The recording's length in seconds: bytes / rate / the bytes of one sample of `depth`,
    // halved for stereo; 0 at rate 0.
    static double TotalSeconds(quint32 bytes, quint32 rate, bool stereo, SampleDepth depth);

    // Sets the format of the audio's buffer, records `bytes` from input device `device` (-1 the
    // default one) and runs the dialog modally until the buffer is full or the user stops. True
    // when the recording started: the buffer then holds what was recorded, its format committed.
    bool RunRecording(CSampleAudio& audio, quint32 bytes, quint32 rate, bool stereo,
                      SampleDepth depth, int device);

    // The controls, for tests.
    QLabel* FormatLabel() const { return m_format; }
    QLabel* PercentLabel() const { return m_percent; }
    QLabel* RemainingLabel() const { return m_remaining; }
    QProgressBar* ProgressBar() const { return m_progress; }
    QPushButton* StopButton() const { return m_stop; }

    // "&Stop": ends the recording, keeping what it holds, and closes.
    void reject() override;

private:
    void Start();
    // Shows the part recorded so far.
    void Tick();
    // The input device handed the full buffer back.
    void OnInputData();

    QLabel* m_format;
    QLabel* m_percent;
    QLabel* m_remaining;
    QProgressBar* m_progress;
    QPushButton* m_stop;
    CWaveNotify m_notify;
    QTimer m_timer;
    CSampleAudio* m_audio = nullptr;
    quint32 m_bytes = 0;
    quint32 m_rate = 0;
    bool m_stereo = false;
    SampleDepth m_depth = SampleDepth::Int8;
    int m_device = -1;
    double m_totalSeconds = 0.0;
    bool m_started = false;
    // Between a successful start and StopRecording.
    bool m_recording = false;
};
