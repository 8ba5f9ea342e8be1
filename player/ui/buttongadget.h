#pragma once
// The bars' buttons: an image drawn from the program's artwork on a bevelled face. A button sends
// its command id when clicked; a toggle button also keeps its checked state. Entering a button
// announces its command so the window can show the hint.

#include <QAbstractButton>
#include <QIcon>

class TButtonGadget : public QAbstractButton {
    Q_OBJECT
public:
    enum TKind { Command = 0, Exclusive = 1, Toggle = 2 };

    // `smoothEdges` leaves the corner pixels in the bar's colour, for a softer outline.
    TButtonGadget(QWidget* parent, int imageId, int commandId, TKind kind, int imageSize,
                  bool smoothEdges);

    int ImageId() const { return FImageId; }
    int CommandId() const { return FCommandId; }
    TKind Kind() const { return FKind; }
    int ImageSize() const { return FImageSize; }
    bool SmoothEdges() const { return FSmoothEdges; }
    // The artwork this button shows; null when the image is missing (the button stays blank).
    const QIcon& Image() const { return FImage; }

    // Held down by the state the button shows (Play while the drive plays or pauses), whatever
    // the mouse does to it: a click lets Qt's own down state up again.
    void SetLatched(bool on);
    bool IsLatched() const { return FLatched; }
    // Drawn pressed: held by the mouse, checked, or latched.
    bool LooksPressed() const { return isDown() || isChecked() || FLatched; }

    QSize sizeHint() const override;

    // The resource path of a button image.
    static QString ImagePath(int imageId);

signals:
    void commandPosted(int commandId);
    void pointerEntered(int commandId);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int FImageId;
    int FCommandId;
    TKind FKind;
    int FImageSize;
    bool FSmoothEdges;
    bool FLatched = false;
    QIcon FImage;
};

// A button bar button: 20 x 20 image, smoothed corners.
class TNormalButtonGadget : public TButtonGadget {
    Q_OBJECT
public:
    TNormalButtonGadget(QWidget* parent, int imageId, int commandId, TKind kind)
        : TButtonGadget(parent, imageId, commandId, kind, 20, true) {}
};

// A volume bar button: 16 x 16 image, square corners.
class TSmallButtonGadget : public TButtonGadget {
    Q_OBJECT
public:
    TSmallButtonGadget(QWidget* parent, int imageId, int commandId, TKind kind)
        : TButtonGadget(parent, imageId, commandId, kind, 16, false) {}
};
