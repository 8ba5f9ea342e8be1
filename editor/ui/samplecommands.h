#pragma once
// The Sample menu's commands that ask the user first: "&Amplify..." (the Adjust Volume dialog on
// the view's selection) and "&Convert...." (the Convert Sample dialog). Each change is one undo
// step of the document; Cancel changes nothing.

#include <functional>

class CWlproView;
class QDialog;

// Runs the dialog modally and returns its result (QDialog::Accepted or Rejected); tests answer
// in place of the user. Unset: QDialog::exec().
using CDialogRunner = std::function<int(QDialog&)>;

// Amplifies the selection (and adjusts its DC bias when asked); true when the dialog ended with
// OK. False without a selection or cursor, when nothing is asked.
bool RunAdjustVolume(CWlproView& view, const CDialogRunner& run = {});
// Converts the whole sample to the chosen format and shows it whole; the status panes are
// brought up to date either way. True when the dialog ended with OK.
bool RunConvertSample(CWlproView& view, const CDialogRunner& run = {});
