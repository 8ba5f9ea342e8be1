#include "ui/dblrepbuttongadget.h"

#include <QMouseEvent>

int TDblRepButtonGadget::FCurrentRepeatCommand = 0;

TDblRepButtonGadget::TDblRepButtonGadget(QWidget* parent, int imageId, int releaseCommand,
                                         int repeatCommand)
    : TButtonGadget(parent, imageId, releaseCommand, Command, 16, false),
      FRepeatCommand(repeatCommand) {
    FRepeatTimer.setObjectName(QStringLiteral("timer%1").arg(RepeatTimerId));
    FRepeatTimer.setInterval(RepeatPeriodMs);
    FRepeatTimer.setTimerType(Qt::PreciseTimer);
    connect(&FRepeatTimer, &QTimer::timeout, this, &TDblRepButtonGadget::OnRepeatTimer);
    // The button's tracking presses it again when the pointer comes back while held, and lets
    // it up when the pointer leaves: the repeats follow.
    connect(this, &QAbstractButton::pressed, this, &TDblRepButtonGadget::BeginRepeat);
    connect(this, &QAbstractButton::released, &FRepeatTimer, &QTimer::stop);
    // The release command is sent from the mouse release below, never from a click as well.
    disconnect(this, &QAbstractButton::clicked, nullptr, nullptr);
}

void TDblRepButtonGadget::BeginRepeat() {
    FCurrentRepeatCommand = FRepeatCommand;
    FRepeatTimer.start();
}

void TDblRepButtonGadget::OnRepeatTimer() {
    if (isDown())
        emit commandPosted(FCurrentRepeatCommand);
}

void TDblRepButtonGadget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        FHeld = true;
    TButtonGadget::mousePressEvent(event);
}

void TDblRepButtonGadget::mouseReleaseEvent(QMouseEvent* event) {
    TButtonGadget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !FHeld)
        return;
    // Activated whether or not the pointer is still over the button.
    FHeld = false;
    FRepeatTimer.stop();
    setDown(false);
    emit commandPosted(CommandId());
}
