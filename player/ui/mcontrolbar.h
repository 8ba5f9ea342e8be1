#pragma once
// The player's bars: a borderless horizontal strip of gadgets (buttons, texts, embedded controls)
// in the colour of a button face. The bar passes on what its gadgets do: button commands, the
// command under the pointer (for hints) and slider movements. Right clicks are not taken, so they
// reach the window holding the bar.

#include <QMap>
#include <QMargins>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class TButtonGadget;
class TSoundBar;

class TMControlBar : public QWidget {
    Q_OBJECT
public:
    // The gadget window's own margins; the bars below add to these.
    static constexpr QMargins DefaultMargins{2, 2, 2, 2};

    TMControlBar(QWidget* parent, int windowId);

    int WindowId() const { return FWindowId; }
    // The button sending `commandId`, or null.
    TButtonGadget* Button(int commandId) const { return FButtons.value(commandId); }
    QList<TButtonGadget*> Buttons() const;
    // The gadgets in bar order, separators included (as plain spacer widgets).
    QList<QWidget*> Gadgets() const;

signals:
    void commandPosted(int commandId);
    // The command of the button the pointer entered, 0 when it left the button.
    void hintRequested(int commandId);
    // A slider inside the bar moved (see TSoundBar for the codes).
    void hScroll(int controlId, int code, int position);

protected:
    TButtonGadget* AddButton(TButtonGadget* button);
    void AddSeparator(int width);
    QLabel* AddText(const QString& text, int characters);
    void AddControl(QWidget* control, bool stretch);
    void AddSoundBar(TSoundBar* slider, bool stretch);
    void AddMargins(const QMargins& more);
    // Keeps the gadgets at the left end of a bar that has no stretched gadget.
    void AddStretch();

private:
    int FWindowId;
    QHBoxLayout* FLayout;
    QMap<int, TButtonGadget*> FButtons;
};

// A bar with the 8-point gadget font and wider margins.
class TMControlBar2 : public TMControlBar {
    Q_OBJECT
public:
    static constexpr QMargins ExtraMargins{3, 2, 3, 2};

    TMControlBar2(QWidget* parent, int windowId);
};
