#pragma once
// The digital display: the black LED console with running time, song length, track number,
// queue size, their labels and the six status words. Its fields are placed from the display
// template's dialog units; each is addressed by its control id. Clicks anywhere on the display are
// not taken by it, so they reach the window that holds it.

#include "core/displayfields.h"

#include <QFont>
#include <QMap>
#include <QRect>
#include <QWidget>

class TColorStatic;
class T3DFrame;

class TDisplayPanel : public QWidget, public TDisplayFields {
    Q_OBJECT
public:
    enum TControlId : int {
        IdReference = 7859,
        IdBackground = 7806,
        IdTime = 7732,
        IdLength = 7731,
        IdTrack = 7734,
        IdTotal = 7733,
        IdLabelMinSec = 7808,
        IdLabelLength = 7809,
        IdLabelTrack = 7802,
        IdLabelTotal = 7807,
        IdPlay = 7803,
        IdPause = 7804,
        IdRepeat = 7805,
        IdMute = 17937,
        IdLoop = 7810,
        IdRandom = 7811,
    };

    explicit TDisplayPanel(QWidget* parent = nullptr);

    // Writes a field's text by the display's text rule (same text: nothing; empty: erase; too
    // long: the last characters). Unknown ids are ignored.
    void SetFieldText(int id, const QString& text) override;
    QString FieldText(int id) const;
    // A status word lit shows its word, unlit shows nothing.
    void SetStatusWord(int id, bool lit);
    bool IsStatusWordLit(int id) const;
    TColorStatic* Field(int id) const { return FFields.value(id); }
    QList<TColorStatic*> Fields() const { return FFields.values(); }

    // The reference rectangle the window lays itself out by, and the LED panel's rectangle.
    QSize ReferenceSize() const { return FReference.size(); }
    QRect BackgroundRect() const;
    QSize sizeHint() const override { return ReferenceSize(); }
    QSize minimumSizeHint() const override { return ReferenceSize(); }

    const QFont& LedFont() const { return FLedFont; }
    const QFont& LabelFont() const { return FLabelFont; }
    T3DFrame* Frame() const { return FFrame; }

    // The face of the digits and its fallbacks when the face is not registered.
    static QString LedFace() { return QStringLiteral("TRX-Digital"); }
    static QString LabelFace() { return QStringLiteral("Small Fonts"); }

private:
    void CreateFields();
    void SetUpFonts();

    QMap<int, TColorStatic*> FFields;
    QRect FReference;
    QFont FLedFont;
    QFont FLabelFont;
    T3DFrame* FFrame = nullptr;
};
