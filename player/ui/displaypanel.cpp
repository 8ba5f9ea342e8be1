#include "ui/displaypanel.h"

#include "core/displayfields.h"
#include "ui/3dframe.h"
#include "ui/ledstatic.h"
#include "ui/screenunits.h"

#include <QFontMetrics>
#include <QFontMetricsF>

namespace {

struct TTemplateControl {
    int id;
    QRect units;
    const char* text;
    quint16 format;
    int limit;
};

constexpr quint16 Left = TColorStatic::FormatLeft;
constexpr quint16 Right = TColorStatic::FormatRight;

// The display template (185 x 52 dialog units), in template order.
const TTemplateControl Template[] = {
    {TDisplayPanel::IdBackground, {9, 11, 166, 30}, "", Left, 0},
    {TDisplayPanel::IdTime, {19, 18, 36, 16}, "", Left, 5},
    {TDisplayPanel::IdLength, {65, 18, 36, 16}, "", Left, 5},
    {TDisplayPanel::IdTrack, {105, 18, 26, 16}, "", Right, 2},
    {TDisplayPanel::IdTotal, {143, 18, 26, 16}, "00", Left, 2},
    {TDisplayPanel::IdLabelMinSec, {19, 13, 30, 5}, "MIN                   SEC", Left, 50},
    {TDisplayPanel::IdLabelLength, {65, 13, 24, 5}, "LENGTH", Left, 50},
    {TDisplayPanel::IdLabelTrack, {116, 13, 21, 5}, "TRACK", Left, 50},
    {TDisplayPanel::IdLabelTotal, {143, 13, 20, 5}, "TOTAL", Left, 50},
    {TDisplayPanel::IdPlay, {19, 34, 16, 5}, "", Left, 10},
    {TDisplayPanel::IdPause, {37, 34, 16, 5}, "", Left, 10},
    {TDisplayPanel::IdRepeat, {57, 34, 17, 5}, "", Left, 10},
    {TDisplayPanel::IdMute, {78, 34, 16, 5}, "", Left, 10},
    {TDisplayPanel::IdLoop, {95, 34, 15, 5}, "", Left, 10},
    {TDisplayPanel::IdRandom, {111, 34, 19, 5}, "", Left, 10},
};

const QRect ReferenceUnits(0, 0, 185, 52);

// The order in which the fonts are handed to the fields.
const int LedFontOrder[] = {TDisplayPanel::IdTrack, TDisplayPanel::IdTotal, TDisplayPanel::IdTime,
                            TDisplayPanel::IdLength};
const int LabelFontOrder[] = {TDisplayPanel::IdLabelTrack,  TDisplayPanel::IdLabelTotal,
                              TDisplayPanel::IdLabelMinSec, TDisplayPanel::IdLabelLength,
                              TDisplayPanel::IdPlay,        TDisplayPanel::IdPause,
                              TDisplayPanel::IdRepeat,      TDisplayPanel::IdMute,
                              TDisplayPanel::IdLoop,        TDisplayPanel::IdRandom};

} // namespace

TDisplayPanel::TDisplayPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("7714"));
    CreateFields();
    SetUpFonts();
    QRect around = BackgroundRect().adjusted(-2, -2, 2, 2);
    FFrame = T3DFrame::Create(this, around, true, 2);
    setFixedSize(ReferenceSize());
}

void TDisplayPanel::CreateFields() {
    const QSize base = DialogBaseUnits(ScreenDpiY(this));
    FReference = DialogUnitsToPixels(ReferenceUnits, base);
    for (const TTemplateControl& control : Template) {
        auto* field = new TLedStatic(this, control.id, control.format, control.limit);
        field->setGeometry(DialogUnitsToPixels(control.units, base));
        // The template's own text goes in by the same rule as every later text.
        field->SetText(QString::fromLatin1(control.text));
        FFields.insert(control.id, field);
    }
}

void TDisplayPanel::SetUpFonts() {
    // Seven-segment digits where the face is registered; a monospaced face keeps the columns
    // steady where it is not.
    FLedFont = PointFont(LedFace(), 17, this, {QStringLiteral("DejaVu Sans Mono")});
    FLabelFont =
        PointFont(LabelFace(), 5, this,
                  {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
    // A substituted or wider face is narrowed until a time fits its field, as the real face does.
    const int timeWidth = FFields.value(IdTime)->width();
    const int advance = QFontMetrics(FLedFont).horizontalAdvance(QStringLiteral("00:00"));
    if (advance > timeWidth)
        FLedFont.setStretch(qMax(1, timeWidth * 100 / advance));
    for (int id : LedFontOrder)
        FFields.value(id)->SetFont(FLedFont);
    for (int id : LabelFontOrder)
        FFields.value(id)->SetFont(FLabelFont);
    // The blanks of "MIN ... SEC" are as wide as it takes to put "SEC" over the seconds digits,
    // whatever the widths of the faces found.
    TColorStatic* minSec = FFields.value(IdLabelMinSec);
    const int secondsAt = QFontMetrics(FLedFont).horizontalAdvance(QStringLiteral("00:")) +
                          FFields.value(IdTime)->x() - minSec->x();
    const int blanks = int(minSec->Text().count(QLatin1Char(' ')));
    const qreal minWidth = QFontMetricsF(FLabelFont).horizontalAdvance(QStringLiteral("MIN"));
    if (blanks > 0)
        minSec->SetBlankWidth(qMax(qreal(0), (secondsAt - minWidth) / blanks));
}

QRect TDisplayPanel::BackgroundRect() const {
    return FFields.value(IdBackground)->geometry();
}

void TDisplayPanel::SetFieldText(int id, const QString& text) {
    if (TColorStatic* field = FFields.value(id))
        field->SetText(text);
}

QString TDisplayPanel::FieldText(int id) const {
    const TColorStatic* field = FFields.value(id);
    return field ? field->Text() : QString();
}

void TDisplayPanel::SetStatusWord(int id, bool lit) {
    const QString word = StatusWord(id);
    if (!word.isEmpty())
        SetFieldText(id, lit ? word : QString());
}

bool TDisplayPanel::IsStatusWordLit(int id) const {
    return !FieldText(id).isEmpty();
}
