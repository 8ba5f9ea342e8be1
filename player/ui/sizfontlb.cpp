#include "ui/sizfontlb.h"

#include "core/reporter.h"
#include "ui/screenunits.h"

#include <QFontDialog>

TSizFontLB::TSizFontLB(QWidget* parent, int id, const QRect& geometry, int minRowHeight,
                       TSongListModel* model)
    : TEasyLB(parent, id, geometry, minRowHeight, model), FFontDescription(font()),
      FDesignHeight(geometry.height() - 2 * frameWidth()) {}

void TSizFontLB::ApplyFont() {
    setFont(FFontDescription);
    const int row = RowHeight();
    if (row <= 0) {
        ReportBeep();
        return;
    }
    const int client = FDesignHeight / row * row;
    setFixedHeight(client + 2 * frameWidth());
    viewport()->update();
}

bool TSizFontLB::ChooseFont() {
    QFontDialog dialog(FFontDescription, window());
    dialog.setWindowTitle(tr("Choose Font"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QFont chosen = dialog.selectedFont();
    // The description keeps pixel sizes, as the settings file does.
    if (chosen.pixelSize() <= 0)
        chosen.setPixelSize(qMax(1, qRound(chosen.pointSizeF() * ScreenDpiY(this) / 72.0)));
    FFontDescription = chosen;
    ApplyFont();
    return true;
}

QFont FontFromSpec(const TFontSpec& description) {
    QFont font;
    if (!description.face.isEmpty())
        font.setFamily(description.face);
    if (description.height != 0)
        font.setPixelSize(qAbs(description.height));
    if (description.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(qBound(1, description.weight, 1000)));
    font.setItalic(description.italic);
    return font;
}

TFontSpec SpecFromFont(const QFont& font, int dpi) {
    TFontSpec description;
    description.face = font.family();
    if (font.pixelSize() > 0)
        description.height = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        description.height = -qRound(font.pointSizeF() * dpi / 72.0);
    // A weight the record gave, 400 included, goes back as it came; only an unset one is 0.
    description.weight = font.resolveMask() & QFont::WeightResolved ? font.weight() : 0;
    description.italic = font.italic();
    return description;
}
