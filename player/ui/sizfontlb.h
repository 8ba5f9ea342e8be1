#pragma once
// TSizFontLB: a list whose font the user chooses. The owner edits the font description and calls
// ApplyFont; the list then shows whole rows only, never more than the height it was set up with.

#include "core/settings.h"
#include "ui/easylb.h"

#include <QFont>

class TSizFontLB : public TEasyLB {
    Q_OBJECT
public:
    // The design height is the client height that `geometry` gives.
    TSizFontLB(QWidget* parent, int id, const QRect& geometry, int minRowHeight,
               TSongListModel* model = nullptr);

    // The font as the user chose it; ApplyFont makes it the list's font.
    QFont& FontDescription() { return FFontDescription; }
    const QFont& FontDescription() const { return FFontDescription; }
    // Gives the list its font and shrinks it to the largest whole number of rows that fits the
    // design height. A row height of 0 beeps and leaves the size alone.
    virtual void ApplyFont();
    int DesignHeight() const { return FDesignHeight; }
    // The "Choose Font" dialog over the description: OK replaces it and applies it; Cancel changes
    // nothing. Returns whether the user chose a font.
    bool ChooseFont();

private:
    QFont FFontDescription;
    int FDesignHeight;
};

// The settings file's font record and the font it describes. A height below 0 is the character
// height in pixels, above 0 the cell height, 0 the default size; weight 0 is the default weight.
QFont FontFromSpec(const TFontSpec& description);
// The record of a font, its size taken in pixels at `dpi` when it is given in points.
TFontSpec SpecFromFont(const QFont& font, int dpi);
