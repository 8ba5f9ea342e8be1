#pragma once
// Main menu 7771 as a tree of QActions: the popups, their items in menu order with their texts and
// command ids, the check marks and the accelerators. The windows build their menu bar, the Elements
// popup and the system-menu items from these same actions; the option store reads and writes the
// check marks of the Options popup. No widgets here.
//
// Item texts are those the menu shows: "&" marks the mnemonic, the text after a tab is the
// shortcut shown. Command items whose text ends in a blank are commands even inside the Options
// popup, never options.

#include <QHash>
#include <QObject>
#include <QString>

#include <vector>

class QAction;

struct TMenuItem {
    QString text;
    int id = 0;                   // command id; 0 for popups and separators
    QAction* action = nullptr;    // command items only
    std::vector<TMenuItem> items; // popups only
    bool popup = false;

    bool IsSeparator() const { return !popup && id == 0; }
};

class TMainMenu : public QObject {
    Q_OBJECT

public:
    // The popups in menu-bar order.
    enum TPopup { Album, Song, Options, Help };

    explicit TMainMenu(QObject* parent = nullptr);

    const std::vector<TMenuItem>& Popups() const { return FPopups; }
    const TMenuItem& Popup(TPopup which) const { return FPopups[which]; }
    // The action of a command item, nullptr for an id the menu does not have.
    QAction* Action(int id) const;
    // Every command action, in menu order.
    std::vector<QAction*> Actions() const;

signals:
    // A command item was chosen (by the menu or its accelerator); a checkable item's check mark
    // has already flipped.
    void command(int id);

private:
    std::vector<TMenuItem> FPopups;
    QHash<int, QAction*> FActions;
};
