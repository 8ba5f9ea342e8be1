#include "ui/frameprompts.h"

#include "ui/apptitle.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

QString CFramePrompts::OpenFilters() {
    return QStringLiteral("Wave Files (*.wav);;Creative Voice Files (*.voc);;"
                          "Sun/NeXT (*.au *.snd);;Raw Data (*);;"
                          "Audio Files (*.flac *.ogg *.oga *.opus *.aif *.aiff *.aifc *.caf *.w64 "
                          "*.rf64)");
}

QString CFramePrompts::OpenPath(QWidget* parent, int& filterIndex) {
    const QStringList filters = OpenFilters().split(QStringLiteral(";;"));
    QFileDialog dialog(parent, QStringLiteral("Open"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(filterIndex - 1, filters.first()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().first();
}

QString CFramePrompts::SavePath(QWidget* parent, const QString& suggested) {
    QFileDialog dialog(parent, QStringLiteral("Save As"), suggested);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(OpenFilters().split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(QStringLiteral("wav"));
    // The dialog itself asks before an existing file is replaced.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

CFramePrompts::CSaveAnswer CFramePrompts::AskSaveChanges(QWidget* parent, const QString& title) {
    const auto answer = QMessageBox::question(
        parent, AppTitle(), QStringLiteral("Save changes to %1?").arg(title),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return CSaveAnswer::Save;
    return answer == QMessageBox::Discard ? CSaveAnswer::Discard : CSaveAnswer::Cancel;
}

CFramePrompts::CLossAnswer CFramePrompts::AskSaveLoss(QWidget* parent, const QString& loss) {
    QMessageBox box(QMessageBox::Warning, AppTitle(), loss, QMessageBox::NoButton, parent);
    QPushButton* saveAs = box.addButton(QStringLiteral("Save As..."), QMessageBox::AcceptRole);
    QPushButton* save = box.addButton(QMessageBox::Save);
    box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(saveAs);
    box.exec();
    if (box.clickedButton() == saveAs)
        return CLossAnswer::SaveAs;
    return box.clickedButton() == save ? CLossAnswer::Save : CLossAnswer::Cancel;
}
