#include "ui/mstatusbar.h"

#include "ui/hseparator.h"
#include "ui/screenunits.h"

#include <QLabel>

namespace {

QLabel* MakeField(QWidget* parent, int id) {
    auto* field = new QLabel(parent);
    field->setObjectName(QString::number(id));
    field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    field->setMinimumWidth(field->fontMetrics().averageCharWidth() * 10);
    // Long titles are cut at the field's end rather than widening the window.
    field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return field;
}

} // namespace

TMStatusBar::TMStatusBar(QWidget* parent, THSeparator* separator)
    : QStatusBar(parent), FSeparator(separator) {
    setObjectName(QString::number(WindowId));
    setSizeGripEnabled(false);
    setFont(PointFont(font().family(), 8, this));
    FAlbum = MakeField(this, AlbumFieldId);
    FSong = MakeField(this, SongFieldId);
    addWidget(FAlbum, 1);
    auto* gap = new QWidget(this);
    gap->setFixedWidth(4);
    addWidget(gap);
    addWidget(FSong, 1);
    // The status bar keeps a narrow margin at its right end.
    auto* end = new QWidget(this);
    end->setFixedWidth(1);
    addPermanentWidget(end);
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
}

QLabel* TMStatusBar::Field(int id) const {
    if (id == AlbumFieldId)
        return FAlbum;
    if (id == SongFieldId)
        return FSong;
    return nullptr;
}

void TMStatusBar::SetFieldText(int id, const QString& text) {
    if (QLabel* field = Field(id))
        field->setText(text);
}

QString TMStatusBar::FieldText(int id) const {
    const QLabel* field = Field(id);
    return field ? field->text() : QString();
}

void TMStatusBar::SetHintText(const QString& text) {
    if (FSeparator)
        FSeparator->SetLineVisible(!text.isEmpty() && isVisible());
    if (text.isEmpty())
        clearMessage();
    else
        showMessage(text);
}

void TMStatusBar::showEvent(QShowEvent* event) {
    QStatusBar::showEvent(event);
    // A hint given while the bar was hidden still covers the fields once the bar shows.
    hideOrShow();
}
