#pragma once
// A static text with its own colours, font, format and a text of limited length: the building
// block of the digital display. Mouse clicks are never taken by the control, so they reach the
// window beneath it unchanged.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class TColorStatic : public QWidget {
    Q_OBJECT
public:
    // Text-drawing flags; combinations as in the display's template (e.g. 0x25).
    enum TFormat : quint16 {
        FormatLeft = 0x00,
        FormatCenter = 0x01,
        FormatRight = 0x02,
        FormatVCenter = 0x04,
        FormatSingleLine = 0x20,
    };

    // `limit` is the most characters the control shows; longer texts keep their last `limit`.
    TColorStatic(QWidget* parent, int id, const QColor& background, const QColor& textColor,
                 quint16 format, int limit);

    int Id() const { return FId; }
    int Limit() const { return FLimit; }
    const QString& Text() const { return FText; }
    static QString ClassName() { return QStringLiteral("ColorStatic"); }

    // Same text: nothing happens. Empty: clear. Otherwise store (cut from the left to the limit)
    // and repaint.
    void SetText(const QString& text);
    void Clear();
    // Repaints only when the colour changes.
    void SetBkColor(const QColor& color);
    QColor BkColor() const { return FBackground; }
    // These store without repainting; the next paint uses them.
    void SetTextColor(const QColor& color) { FTextColor = color; }
    QColor TextColor() const { return FTextColor; }
    void SetFormat(uint format) { FFormat = quint16(format & 0xFFFF); }
    quint16 Format() const { return FFormat; }
    void SetFont(const QFont& font);
    bool HasFont() const { return FHasFont; }
    QFont GetFont() const { return FFont; }
    // Draws every blank `width` pixels wide instead of the font's own blank (negative: the
    // font's). Labels that place words with runs of blanks stay in place whatever the face.
    void SetBlankWidth(qreal width) { FBlankWidth = width; }
    qreal BlankWidth() const { return FBlankWidth; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int FId;
    QFont FFont;
    bool FHasFont = false;
    QColor FBackground;
    QColor FTextColor;
    quint16 FFormat;
    QString FText;
    int FLimit;
    qreal FBlankWidth = -1;
};
