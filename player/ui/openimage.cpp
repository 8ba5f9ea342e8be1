#include "ui/openimage.h"

#include "core/playersession.h"
#include "core/reporter.h"
#include "core/ripsettings.h"
#include "platform/cdaudiofactory.h"
#include "platform/imagedrive.h"
#include "platform/libcdiodrive.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QPushButton>

Q_LOGGING_CATEGORY(lcOpenImage, "korvo.openimage")

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("OpenImage", text);
}
} // namespace

bool OpenImage::UseImage(TPlayerSession& session, const QString& path) {
    // An image the virtual drive cannot read is refused before the player lets go of its disc.
    auto drive = std::make_unique<TImageDrive>(path);
    const bool readable = drive->Open() == TCDError::None && drive->Ready().value != 0 &&
                          drive->TrackCount().value > 0;
    drive->Close();
    if (!readable) {
        TMessage message;
        message.text =
            QDir::toNativeSeparators(path) + Tr("\n\nThis is not a disc image Korvo can read.");
        message.icon = TMessageIcon::Warning;
        message.beep = true;
        ReportMessage(message);
        return false;
    }
    if (!session.ChangeDrive(std::move(drive), path))
        return false;
    TRipSettings(session.Profile().Path()).SetImage(path);
    return true;
}

bool OpenImage::UseDrive(TPlayerSession& session) {
    if (!session.ChangeDrive(CreateCDAudioService(), QString()))
        return false;
    TRipSettings(session.Profile().Path()).SetImage(QString());
    return true;
}

void OpenImage::Restore(TPlayerSession& session) {
    const QString image = TRipSettings(session.Profile().Path()).Image();
    if (image.isEmpty())
        return;
    // Kept for when the image's disk is back; the drive plays meanwhile.
    if (!QFileInfo(image).isFile()) {
        qCWarning(lcOpenImage) << "the disc image chosen last is not there:" << image;
        return;
    }
    session.ChangeDrive(std::make_unique<TImageDrive>(image), image);
}

void OpenImage::Run(QWidget* parent, TPlayerSession& session) {
    const QString current = session.Image();
    QFileDialog dialog(parent, Tr("Open Image"),
                       current.isEmpty() ? QDir::homePath() : QFileInfo(current).path(),
                       Tr("Disc images (*.cue *.toc *.nrg);;All files (*)"));
    dialog.setObjectName(QStringLiteral("OpenImage"));
    // The drive's own button goes into the dialog's button box: the desktop's dialog has none.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!current.isEmpty())
        dialog.selectFile(current);
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* useDrive =
            buttons->addButton(Tr("Use the Drive"), QDialogButtonBox::ResetRole);
        useDrive->setObjectName(QStringLiteral("UseDrive"));
        useDrive->setEnabled(!current.isEmpty());
        QObject::connect(useDrive, &QPushButton::clicked, &dialog,
                         [&dialog] { static_cast<QDialog&>(dialog).done(UseDriveResult); });
    }
    const int result = dialog.exec();
    if (result == UseDriveResult)
        UseDrive(session);
    else if (result == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        UseImage(session, QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

QString PlayerSource(TPlayerSession& session, bool* physical) {
    TCDAudioService& service = session.Device().Service();
    if (physical)
        *physical = false;
    if (const auto* image = qobject_cast<const TImageDrive*>(&service))
        return image->ImagePath();
    if (const auto* drive = qobject_cast<const TLibcdioDrive*>(&service)) {
        if (physical)
            *physical = true;
        return drive->Device();
    }
    return QString();
}
