#include "core/framegeometry.h"

#include "core/commandids.h"

#include <QStringList>

#include <algorithm>

const QList<int>& TFrameGeometry::Elements() {
    static const QList<int> elements{CmMenuBar,   CmQueueBox, CmPositionSlider,
                                     CmVolumeBar, CmButtons,  CmStatusBar};
    return elements;
}

QList<int> TFrameGeometry::PresetElements(int viewCommand) {
    switch (viewCommand) {
    case CmViewEverything:
        return Elements();
    case CmViewVolumeBarOff:
        return {CmMenuBar, CmQueueBox, CmPositionSlider, CmButtons, CmStatusBar};
    case CmViewSlidersOff:
        return {CmMenuBar, CmQueueBox, CmButtons, CmStatusBar};
    case CmViewButtonsAndStatus:
        return {CmMenuBar, CmButtons, CmStatusBar};
    case CmViewButtonsOff:
        return {CmMenuBar, CmStatusBar};
    case CmViewDigitalAndMenu:
        return {CmMenuBar};
    default:
        return {};
    }
}

QString TFrameGeometry::FormatView(const QList<int>& elements) {
    QStringList parts;
    for (int id : elements)
        parts << QString::number(id);
    return parts.join(QLatin1Char(' '));
}

QList<int> TFrameGeometry::ParseView(const QString& text) {
    QList<int> ids;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        bool number = false;
        const int id = part.toInt(&number);
        if (number)
            ids << id;
    }
    return ids;
}

int TFrameGeometry::MinimumWidth() const {
    return std::max(FNeeds.displayWidth, FNeeds.barsMinimumWidth);
}

QRect TFrameGeometry::Place(int x, int y, int width, const QRect& current, const QRect& available,
                            const QMargins& frame) const {
    const int innerWidth = std::max(MinimumWidth(), width);
    const int innerHeight = Height();
    int left = x != 0 ? x : current.left();
    int top = y != 0 ? y : current.top();
    if (current.isNull() && x == 0 && y == 0 && !available.isNull()) {
        const int outerWidth = innerWidth + frame.left() + frame.right();
        const int outerHeight = innerHeight + frame.top() + frame.bottom();
        left = available.left() + (available.width() - outerWidth) / 2 + frame.left();
        top = available.top() + (available.height() - outerHeight) / 2 + frame.top();
    }
    if (!available.isNull()) {
        // Right and bottom first, so that a window larger than the screen keeps its title bar on
        // it.
        left = std::max(std::min(left, available.right() + 1 - innerWidth - frame.right()),
                        available.left() + frame.left());
        top = std::max(std::min(top, available.bottom() + 1 - innerHeight - frame.bottom()),
                       available.top() + frame.top());
    }
    return QRect(left, top, innerWidth, innerHeight);
}
