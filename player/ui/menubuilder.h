#pragma once
// The player's menus as widgets over the main menu's actions: the menu bar and the Elements
// pop-up. Both share the actions, so a check mark set anywhere shows everywhere.

class QMenu;
class QMenuBar;
class QWidget;
class TMainMenu;

// Fills the menu bar with the main menu's pop-ups. Each pop-up's menu action carries the hint id
// of the pop-up as its data.
void BuildMenuBar(QMenuBar* bar, const TMainMenu& menu);
// The Elements pop-up: the element items grouped as in the Options menu, then Always on Top.
QMenu* BuildElementsMenu(const TMainMenu& menu, QWidget* parent);
