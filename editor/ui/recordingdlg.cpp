#include "ui/recordingdlg.h"

#include "ui/apptitle.h"

#include "core/reporter.h"
#include "core/sampleaudio.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CRecordProgressDlg::CRecordProgressDlg(QWidget* parent)
    : QDialog(parent), m_format(new QLabel), m_percent(new QLabel(QStringLiteral("0%"))),
      m_remaining(new QLabel(QStringLiteral("100.00 seconds"))), m_progress(new QProgressBar),
      m_stop(new QPushButton(QStringLiteral("&Stop"))) {
    setWindowTitle(QStringLiteral("Recording..."));
    setModal(true);

    m_progress->setRange(0, kProgressRange);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMinimumWidth(m_progress->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 36);
    // Wide enough for "100%" so the bar does not move while the number grows.
    m_percent->setMinimumWidth(m_percent->fontMetrics().horizontalAdvance(QStringLiteral("100%")));
    m_percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Recording:")), 0, 0);
    grid->addWidget(m_format, 0, 1, 1, 2);
    grid->addWidget(m_progress, 1, 0, 1, 2);
    grid->addWidget(m_percent, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Time remaining:")), 2, 0);
    grid->addWidget(m_remaining, 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_stop);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    m_stop->setDefault(true);

    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &CRecordProgressDlg::Tick);
    connect(&m_notify, &CWaveNotify::InputData, this, &CRecordProgressDlg::OnInputData);
    connect(m_stop, &QPushButton::clicked, this, &CRecordProgressDlg::reject);
}

void CRecordProgressDlg::SetFormatText(const QString& text) {
    m_format->setText(text);
}

double CRecordProgressDlg::TotalSeconds(quint32 bytes, quint32 rate, bool stereo,
                                        SampleDepth depth) {
    if (rate == 0)
        return 0.0;
    double seconds = double(bytes) / double(rate) / double(DepthBytes(depth));
    if (stereo)
        seconds /= 2.0;
    return seconds;
}

bool CRecordProgressDlg::RunRecording(CSampleAudio& audio, quint32 bytes, quint32 rate, bool stereo,
                                      SampleDepth depth, int device) {
    m_audio = &audio;
    m_bytes = bytes;
    m_rate = rate;
    m_stereo = stereo;
    m_depth = depth;
    m_device = device;
    m_totalSeconds = TotalSeconds(bytes, rate, stereo, depth);
    m_started = false;
    // Started from inside the dialog's loop, so that a failure's message has the dialog beneath.
    QTimer::singleShot(0, this, &CRecordProgressDlg::Start);
    exec();
    return m_started;
}

void CRecordProgressDlg::Start() {
    CSampleBuffer& buffer = m_audio->Buffer();
    const quint32 oldRate = buffer.GetRate();
    const bool oldStereo = buffer.GetChannels() == 2;
    const SampleDepth oldDepth = buffer.GetDepth();
    buffer.SetFormat(m_rate, m_stereo, m_depth);
    if (m_audio->StartRecording(&m_notify, m_bytes, m_device) != 0) {
        // The old data is still there; so must be the format that reads it.
        buffer.SetFormat(oldRate, oldStereo, oldDepth);
        ReportMessage(CMessage{QStringLiteral("Couldn't record"), AppTitle(), CMessageIcon::None});
        return;
    }
    m_started = true;
    m_recording = true;
    m_progress->setRange(0, kProgressRange);
    m_progress->setValue(0);
    Tick();
    m_timer.start();
}

void CRecordProgressDlg::Tick() {
    const double fraction = m_audio->GetRecordFraction();
    m_percent->setText(QString::asprintf("%.0f%%", fraction * 100.0));
    m_remaining->setText(QString::asprintf("%.1f Seconds", (1.0 - fraction) * m_totalSeconds));
    m_progress->setValue(int(fraction * kProgressRange));
}

void CRecordProgressDlg::OnInputData() {
    if (!m_recording)
        return;
    m_timer.stop();
    m_audio->StopRecording();
    m_recording = false;
    m_percent->setText(QStringLiteral("100%"));
    m_format->setText(QStringLiteral("Done"));
    m_remaining->setText(QStringLiteral("0.0 Seconds"));
    m_progress->setValue(kProgressRange);
    accept();
}

void CRecordProgressDlg::reject() {
    m_timer.stop();
    if (m_recording) {
        m_audio->StopRecording();
        m_recording = false;
    }
    QDialog::reject();
}
