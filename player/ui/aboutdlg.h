#pragma once
// "About Korvo": the picture, the version line and the physical memory of this machine.

#include "ui/mdialog.h"

#include <QImage>

class QLabel;

// Physical memory in KB: the total and what is available now. False when the figures cannot be
// read.
struct TMemoryStatus {
    quint64 totalKb = 0;
    quint64 availableKb = 0;
};
// Reads the figures from a meminfo-style text ("MemTotal:", "MemAvailable:", in kB).
bool ParseMemoryStatus(const QByteArray& meminfo, TMemoryStatus& status);
bool ReadMemoryStatus(TMemoryStatus& status);

class TAboutDlg : public TMDialog {
    Q_OBJECT
public:
    static constexpr int DialogId = 7774;
    static constexpr int PictureId = 7881;
    static constexpr int VersionId = 7758;
    static constexpr int IconId = 7713;
    static constexpr int MemoryId = 7746;
    static constexpr QSize PictureSize{160, 50};

    explicit TAboutDlg(QWidget* parent);

    QLabel* VersionText() const { return FVersion; }
    QLabel* MemoryText() const { return FMemory; }
    // Where the picture's top-left corner goes, in the dialog's coordinates.
    QPoint PictureOrigin() const;
    static QString MemoryText(const TMemoryStatus& status);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* FPictureMark;
    QLabel* FIcon;
    QLabel* FVersion;
    QLabel* FMemory;
    QImage FPicture;
};
