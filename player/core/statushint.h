#pragma once
// The status text shown during a long operation (loading, saving, sorting, seeking, exporting).
// The window implements it: the text in the status bar, the wait cursor and the window disabled
// until the hint is cleared. Without an installed one, hints go nowhere.

#include <QString>

class TStatusHint {
public:
    virtual ~TStatusHint() = default;
    virtual void ShowHint(const QString& text) = 0;
    virtual void ClearHint() = 0;
};

// Shows a hint for the life of the object, so every way out of an operation clears it.
class TScopedHint {
public:
    TScopedHint(TStatusHint* hint, const QString& text) : FHint(hint) {
        if (hint)
            hint->ShowHint(text);
    }
    ~TScopedHint() {
        if (FHint)
            FHint->ClearHint();
    }
    TScopedHint(const TScopedHint&) = delete;
    TScopedHint& operator=(const TScopedHint&) = delete;

private:
    TStatusHint* FHint;
};
