#include "ui/messageboxreporter.h"

#include <QApplication>
#include <QMessageBox>

namespace {
QMessageBox::Icon ToIcon(TMessageIcon icon) {
    switch (icon) {
    case TMessageIcon::Information:
        return QMessageBox::Information;
    case TMessageIcon::Question:
        return QMessageBox::Question;
    case TMessageIcon::Warning:
        return QMessageBox::Warning;
    case TMessageIcon::Error:
        return QMessageBox::Critical;
    case TMessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToButtons(TMessageButtons buttons) {
    switch (buttons) {
    case TMessageButtons::Ok:
        return QMessageBox::Ok;
    case TMessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case TMessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case TMessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case TMessageButtons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ToButton(TMessageAnswer answer) {
    switch (answer) {
    case TMessageAnswer::Ok:
        return QMessageBox::Ok;
    case TMessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case TMessageAnswer::Yes:
        return QMessageBox::Yes;
    case TMessageAnswer::No:
        return QMessageBox::No;
    case TMessageAnswer::Retry:
        return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

TMessageAnswer FromButton(int button, TMessageAnswer fallback) {
    switch (button) {
    case QMessageBox::Ok:
        return TMessageAnswer::Ok;
    case QMessageBox::Cancel:
        return TMessageAnswer::Cancel;
    case QMessageBox::Yes:
        return TMessageAnswer::Yes;
    case QMessageBox::No:
        return TMessageAnswer::No;
    case QMessageBox::Retry:
        return TMessageAnswer::Retry;
    default:
        return fallback;
    }
}
} // namespace

TMessageAnswer TMessageBoxReporter::Show(const TMessage& message) {
    if (message.beep)
        QApplication::beep();
    QMessageBox box(ToIcon(message.icon), message.caption, message.text, ToButtons(message.buttons),
                    QApplication::activeWindow());
    box.setDefaultButton(ToButton(message.defaultAnswer));
    // Closing the box with Esc or the title bar counts as its cancelling answer.
    const int result = box.exec();
    const bool cancellable =
        message.buttons != TMessageButtons::Ok && message.buttons != TMessageButtons::YesNo;
    return FromButton(result, cancellable ? TMessageAnswer::Cancel : message.defaultAnswer);
}

void TMessageBoxReporter::Beep() {
    QApplication::beep();
}
