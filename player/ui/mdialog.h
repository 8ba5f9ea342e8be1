#pragma once
// TMDialog: the base of the player's dialogs. Every dialog gets the same font ("MS Sans Serif"
// 8 points, or the nearest face the system has), a double 3-D frame inside its edge (sunken, then
// raised) and the button-face colour behind its controls.
//
// Controls are placed from the template's dialog units. The units come from the dialog font the
// system actually draws with, so texts fit their controls whatever face stands in for the
// template's. Each control keeps its template id as its object name.

#include <QDialog>

class QLabel;
class T3DFrame;

class TMDialog : public QDialog {
    Q_OBJECT
public:
    // `templateSize` is the dialog's size in dialog units.
    TMDialog(QWidget* parent, int resourceId, const QString& caption, const QSize& templateSize);

    // Dialog units to pixels of this dialog.
    QRect Units(int x, int y, int width, int height) const;
    QSize BaseUnits() const { return FBaseUnits; }
    T3DFrame* SunkenFrame() const { return FSunken; }
    T3DFrame* RaisedFrame() const { return FRaised; }
    // The dialog font: the template's face at 8 points.
    static QFont DialogFont(const QWidget* widget);

protected:
    // Places a control at template units; a control inside a group box is given dialog units too.
    void Place(QWidget* control, int x, int y, int width, int height, int id = -1) const;
    // Sends the font to every control and lays the frames; subclasses call it once their
    // controls exist.
    void SetUp();
    // Widens a static text to its longest line when the template made it too narrow for this
    // system's font; the dialog grows with it.
    void FitText(QLabel* label);
    // Grows the dialog so that `area` lies inside the raised frame with a margin.
    void GrowToContain(const QRect& area);
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceFrames();

    QSize FBaseUnits;
    QSize FTemplateSize;
    T3DFrame* FSunken = nullptr;
    T3DFrame* FRaised = nullptr;
};
