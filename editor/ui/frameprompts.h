#pragma once
// The questions the frame asks the user: which file to open, where to save, whether to save
// changes before closing. The program asks through the desktop's dialogs; tests answer through a
// subclass of their own.

#include <QString>

class QWidget;

class CFramePrompts {
public:
    enum class CSaveAnswer { Save, Discard, Cancel };
    enum class CLossAnswer { SaveAs, Save, Cancel };

    // The Open dialog's filters, in the order whose indexes the frame remembers (from 1).
    static QString OpenFilters();

    virtual ~CFramePrompts() = default;
    // Empty when cancelled. `filterIndex` (from 1) is preselected and set to the filter the user
    // left selected.
    virtual QString OpenPath(QWidget* parent, int& filterIndex);
    // Empty when cancelled; asks before replacing an existing file. `suggested` is the current
    // path or title.
    virtual QString SavePath(QWidget* parent, const QString& suggested);
    virtual CSaveAnswer AskSaveChanges(QWidget* parent, const QString& title);
    // Before a save that would keep less than the document holds; `loss` says what. Save As is
    // the default button, so that Enter keeps the file as it was.
    virtual CLossAnswer AskSaveLoss(QWidget* parent, const QString& loss);
};
