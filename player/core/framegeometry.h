#pragma once
// The main frame's size and place rules, apart from any window so that they can be tested alone.
//
// The height always follows from the elements shown and cannot be changed by the user; the width
// can, down to the widest of the display and the bars shown. A placed window is moved fully onto
// the screen's available area, the window manager's frame included. Rectangles are the client
// area's: the frame is not known before the window manager has mapped the window.
//
// A view is a list of element ids: the menu bar and the bars, whose window ids are also their
// toggle commands. The custom view is stored as those ids joined by blanks.

#include <QList>
#include <QMargins>
#include <QRect>
#include <QString>

class TFrameGeometry {
public:
    // The elements in their fixed order: the menu bar, then the bars from the top down.
    static const QList<int>& Elements();
    // The elements a view preset shows; empty for an id that is not a preset.
    static QList<int> PresetElements(int viewCommand);
    static QString FormatView(const QList<int>& elements);
    // Words that are not numbers are skipped; ids that are no element are left to the caller,
    // which shows only the elements a view contains.
    static QList<int> ParseView(const QString& text);

    // What the elements shown need, measured by the frame.
    struct Needs {
        int barsHeight = 0;
        int menuBarHeight = 0; // 0 while the menu bar is hidden
        int displayWidth = 0;
        int barsMinimumWidth = 0;
    };

    explicit TFrameGeometry(const Needs& needs) : FNeeds(needs) {}

    int Height() const { return FNeeds.barsHeight + FNeeds.menuBarHeight; }
    int MinimumWidth() const;
    // The client rectangle for a placement at (x, y) with a width: an x or y of 0 keeps the
    // current one, a width of 0 or below the minimum gives the minimum. A window with no place
    // yet (a null `current`: not shown, never placed) asked for no place (x and y both 0) is
    // centred on the available area, frame included; the toolkit's default place of a new window
    // is the screen's corner, where a window manager puts the title bar off the screen. A null
    // `available` area (no screen) leaves the place as asked.
    QRect Place(int x, int y, int width, const QRect& current, const QRect& available,
                const QMargins& frame) const;

private:
    Needs FNeeds;
};
