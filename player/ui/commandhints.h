#pragma once
// The hint texts shown in the status bar while Mini Help is on, keyed by command id.

#include <QString>

// The hint of `commandId`; empty when the command has none.
QString CommandHint(int commandId);
