#include "ui/mdialog.h"

#include "ui/3dframe.h"
#include "ui/screenunits.h"

#include <QLabel>
#include <QPainter>

namespace {
// The raised frame's distance from the edge and the room left inside it.
constexpr int FrameAndMargin = 7 + 5;

// The base units of a font as the platform computes them for dialogs: the average width of the
// Latin letters, rounded, and the character height.
QSize FontBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((letters / 26 + 1) / 2, metrics.height());
}
} // namespace

TMDialog::TMDialog(QWidget* parent, int resourceId, const QString& caption,
                   const QSize& templateSize)
    : QDialog(parent), FTemplateSize(templateSize) {
    setObjectName(QString::number(resourceId));
    setWindowTitle(caption);
    setFont(DialogFont(this));
    FBaseUnits = FontBaseUnits(font());
    setFixedSize(Units(0, 0, templateSize.width(), templateSize.height()).size());
}

QFont TMDialog::DialogFont(const QWidget* widget) {
    return PointFont(QStringLiteral("MS Sans Serif"), 8, widget,
                     {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Nimbus Sans"),
                      QStringLiteral("DejaVu Sans")});
}

QRect TMDialog::Units(int x, int y, int width, int height) const {
    return DialogUnitsToPixels(QRect(x, y, width, height), FBaseUnits);
}

void TMDialog::Place(QWidget* control, int x, int y, int width, int height, int id) const {
    QRect pixels = Units(x, y, width, height);
    if (QWidget* holder = control->parentWidget(); holder && holder != this)
        pixels.translate(-holder->mapTo(this, QPoint(0, 0)));
    control->setGeometry(pixels);
    if (id != -1)
        control->setObjectName(QString::number(id));
}

void TMDialog::SetUp() {
    const QFont dialogFont = font();
    for (QWidget* child : findChildren<QWidget*>())
        child->setFont(dialogFont);
    QRect area = rect().adjusted(4, 4, -4, -4);
    FSunken = T3DFrame::Create(this, area, true, 2);
    area.adjust(2, 2, -2, -2);
    FRaised = T3DFrame::Create(this, area, false, 2);
}

void TMDialog::PlaceFrames() {
    if (!FSunken)
        return;
    FSunken->setGeometry(rect().adjusted(4, 4, -4, -4));
    FRaised->setGeometry(rect().adjusted(7, 7, -7, -7));
}

void TMDialog::FitText(QLabel* label) {
    int widest = 0;
    for (const QString& line : label->text().split(QLatin1Char('\n')))
        widest = qMax(widest, label->fontMetrics().horizontalAdvance(line));
    // A text that fits keeps the template's width, cut back to the frame if it reached past it.
    const int room = width() - FrameAndMargin - label->x();
    label->resize(qMax(widest, qMin(label->width(), room)), label->height());
    GrowToContain(label->geometry());
}

void TMDialog::GrowToContain(const QRect& area) {
    const int width = qMax(this->width(), area.right() + 1 + FrameAndMargin);
    const int height = qMax(this->height(), area.bottom() + 1 + FrameAndMargin);
    if (width == this->width() && height == this->height())
        return;
    setFixedSize(width, height);
    // A hidden dialog gets its resize event only when shown; the frames follow now.
    PlaceFrames();
}

void TMDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceFrames();
}

void TMDialog::paintEvent(QPaintEvent*) {
    // Read at every paint, so a change of the system colours shows at once.
    QPainter(this).fillRect(rect(), palette().color(QPalette::Button));
}
