#include "ui/colorstatic.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

namespace {

Qt::Alignment AlignmentOf(quint16 format) {
    Qt::Alignment alignment = Qt::AlignLeft;
    if (format & TColorStatic::FormatCenter)
        alignment = Qt::AlignHCenter;
    else if (format & TColorStatic::FormatRight)
        alignment = Qt::AlignRight;
    // Without the vertical flag the text stands at the top of the control.
    alignment |= (format & TColorStatic::FormatVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    return alignment;
}

} // namespace

TColorStatic::TColorStatic(QWidget* parent, int id, const QColor& background,
                           const QColor& textColor, quint16 format, int limit)
    : QWidget(parent), FId(id), FBackground(background), FTextColor(textColor), FFormat(format),
      FLimit(qMax(0, limit)) {
    // The whole control is painted opaque, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QString::number(id));
}

void TColorStatic::SetText(const QString& text) {
    if (text == FText)
        return;
    if (text.isEmpty()) {
        Clear();
        return;
    }
    FText = text.size() > FLimit ? text.right(FLimit) : text;
    update();
}

void TColorStatic::Clear() {
    FText.clear();
    update();
}

void TColorStatic::SetBkColor(const QColor& color) {
    if (color == FBackground)
        return;
    FBackground = color;
    update();
}

void TColorStatic::SetFont(const QFont& font) {
    FFont = font;
    FHasFont = true;
}

void TColorStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), FBackground);
    if (FText.isEmpty())
        return;
    painter.setFont(FHasFont ? FFont : font());
    painter.setPen(FTextColor);
    const Qt::Alignment alignment = AlignmentOf(FFormat);
    if (FBlankWidth < 0 || !FText.contains(QLatin1Char(' '))) {
        // Not clipped to the text box: the template's sizes are made for the display's fonts.
        painter.drawText(rect(), int(alignment) | Qt::TextDontClip, FText);
        return;
    }
    const QFontMetricsF metrics(painter.font());
    const QStringList words = FText.split(QLatin1Char(' '));
    qreal width = FBlankWidth * (words.size() - 1);
    for (const QString& word : words)
        width += metrics.horizontalAdvance(word);
    qreal x = 0;
    if (alignment & Qt::AlignHCenter)
        x = (this->width() - width) / 2;
    else if (alignment & Qt::AlignRight)
        x = this->width() - width;
    const Qt::Alignment vertical = alignment & Qt::AlignVertical_Mask;
    for (const QString& word : words) {
        const QRectF box(x, 0, metrics.horizontalAdvance(word), height());
        painter.drawText(box, int(Qt::AlignLeft | vertical) | Qt::TextDontClip, word);
        x += box.width() + FBlankWidth;
    }
}
