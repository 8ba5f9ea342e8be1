#include "ui/aboutdlg.h"

#include "ui/artwork.h"

#include "korvoversion.h"

#include <QFile>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSysInfo>

bool ParseMemoryStatus(const QByteArray& meminfo, TMemoryStatus& status) {
    bool total = false;
    bool available = false;
    for (const QByteArray& line : meminfo.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 2)
            continue;
        bool ok = false;
        const quint64 value = words[1].toULongLong(&ok);
        if (!ok)
            continue;
        if (words[0] == "MemTotal:") {
            status.totalKb = value;
            total = true;
        } else if (words[0] == "MemAvailable:") {
            status.availableKb = value;
            available = true;
        }
    }
    return total && available;
}

bool ReadMemoryStatus(TMemoryStatus& status) {
    QFile file(QStringLiteral("/proc/meminfo"));
    // The file reports a size of 0; it is read until its end.
    return file.open(QIODevice::ReadOnly) && ParseMemoryStatus(file.readAll(), status);
}

TAboutDlg::TAboutDlg(QWidget* parent)
    : TMDialog(parent, DialogId, tr("About Korvo"), QSize(124, 124)) {
    auto* mark = new QFrame(this);
    Place(mark, 12, 11, 82, 22, PictureId);
    mark->setFrameStyle(QFrame::Box | QFrame::Plain);
    mark->hide();
    FPictureMark = mark;
    FVersion = new QLabel(this);
    Place(FVersion, 12, 41, 110, 8, VersionId);
    FIcon = new QLabel(this);
    FIcon->setGeometry(QRect(Units(91, 67, 0, 0).topLeft(), QSize(32, 32)));
    FIcon->setObjectName(QString::number(IconId));
    FIcon->setPixmap(QIcon(QStringLiteral(":/korvo/korvo.svg")).pixmap(32, 32));
    FMemory = new QLabel(this);
    Place(FMemory, 12, 71, 73, 16, MemoryId);
    auto* ok = new QPushButton(tr("OK"), this);
    Place(ok, 30, 96, 64, 14, 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    SetUp();

    QString system = QSysInfo::kernelType();
    if (!system.isEmpty())
        system[0] = system[0].toUpper();
    FVersion->setText(tr("Version %1 - %2-bit for %3")
                          .arg(QStringLiteral(KORVO_VERSION))
                          .arg(QT_POINTER_SIZE * 8)
                          .arg(system));
    TMemoryStatus memory;
    if (ReadMemoryStatus(memory))
        FMemory->setText(MemoryText(memory));
    // Today's memory figures are longer than the template foresaw: the texts widen, the icon
    // moves right of them and the dialog grows to hold everything.
    FitText(FVersion);
    FitText(FMemory);
    const int iconGap = Units(0, 0, 4, 0).width();
    if (FIcon->x() < FMemory->geometry().right() + iconGap)
        FIcon->move(FMemory->geometry().right() + iconGap, FIcon->y());
    GrowToContain(FIcon->geometry());
    GrowToContain(QRect(PictureOrigin(), PictureSize));
    FPicture = LoadArtwork(QStringLiteral(":/korvo/about.svg"), PictureSize, devicePixelRatioF());
}

QString TAboutDlg::MemoryText(const TMemoryStatus& status) {
    return QString::asprintf("%llu KB Phys. Memory\n%llu KB Free Ph. Mem.",
                             static_cast<unsigned long long>(status.totalKb),
                             static_cast<unsigned long long>(status.availableKb));
}

QPoint TAboutDlg::PictureOrigin() const {
    return FPictureMark->geometry().topLeft();
}

void TAboutDlg::paintEvent(QPaintEvent* event) {
    TMDialog::paintEvent(event);
    QPainter(this).drawImage(PictureOrigin(), FPicture);
}
