#include "ui/buttongadget.h"

#include <QFile>
#include <QPainter>

TButtonGadget::TButtonGadget(QWidget* parent, int imageId, int commandId, TKind kind, int imageSize,
                             bool smoothEdges)
    : QAbstractButton(parent), FImageId(imageId), FCommandId(commandId), FKind(kind),
      FImageSize(imageSize), FSmoothEdges(smoothEdges) {
    setObjectName(QString::number(commandId));
    setCheckable(kind != Command);
    setAutoExclusive(kind == Exclusive);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    if (QFile::exists(ImagePath(imageId)))
        FImage = QIcon(ImagePath(imageId));
    connect(this, &QAbstractButton::clicked, this, [this] { emit commandPosted(FCommandId); });
}

QString TButtonGadget::ImagePath(int imageId) {
    return QStringLiteral(":/korvo/buttons/%1.svg").arg(imageId);
}

QSize TButtonGadget::sizeHint() const {
    return QSize(FImageSize + 6, FImageSize + 6);
}

void TButtonGadget::SetLatched(bool on) {
    if (FLatched == on)
        return;
    FLatched = on;
    update();
}

void TButtonGadget::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    emit pointerEntered(FCommandId);
}

void TButtonGadget::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    emit pointerLeft();
}

void TButtonGadget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    const bool sunken = LooksPressed();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor outline = pal.color(QPalette::Shadow);

    painter.fillRect(r.adjusted(1, 1, -1, -1), face);
    if (isChecked() && !isDown()) {
        // A latched toggle shows a lighter, dotted face, as the system draws a checked button.
        painter.fillRect(r.adjusted(2, 2, -2, -2), QBrush(light, Qt::Dense4Pattern));
    }
    const int x0 = r.left();
    const int y0 = r.top();
    const int x1 = r.right();
    const int y1 = r.bottom();
    painter.setPen(outline);
    if (FSmoothEdges) {
        painter.drawLine(x0 + 1, y0, x1 - 1, y0);
        painter.drawLine(x0 + 1, y1, x1 - 1, y1);
        painter.drawLine(x0, y0 + 1, x0, y1 - 1);
        painter.drawLine(x1, y0 + 1, x1, y1 - 1);
    } else {
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter.setPen(sunken ? shadow : light);
    painter.drawLine(x0 + 1, y0 + 1, x1 - 1, y0 + 1);
    painter.drawLine(x0 + 1, y0 + 1, x0 + 1, y1 - 1);
    painter.setPen(sunken ? face : shadow);
    painter.drawLine(x0 + 2, y1 - 1, x1 - 1, y1 - 1);
    painter.drawLine(x1 - 1, y0 + 2, x1 - 1, y1 - 1);

    if (FImage.isNull())
        return;
    QRect image(0, 0, FImageSize, FImageSize);
    image.moveCenter(r.center());
    if (sunken)
        image.translate(1, 1);
    FImage.paint(&painter, image, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
}
