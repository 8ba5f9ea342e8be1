#pragma once
// Shows the player's messages as modal QMessageBoxes over the active window.

#include "core/reporter.h"

class TMessageBoxReporter : public TReporter {
public:
    TMessageAnswer Show(const TMessage& message) override;
    void Beep() override;
};
