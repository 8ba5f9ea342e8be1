#pragma once
// Menu items and buttons bound to the player's state. A checkable item flips its own mark when it
// is chosen; a bound item's mark is set back at once, and the command the item sends then sets it
// through the state, so a command that changes nothing (Pause while stopped) leaves it right.

#include "core/playerstate.h"

#include <QAction>
#include <QList>

template <typename Item>
void BindChecked(const TPlayerState& state, TPlayerState::Flag flag, Item* item) {
    state.Bind(flag, item, [item](bool on) { item->setChecked(on); });
    QObject::connect(item, &Item::toggled, item, [&state, flag, item](bool on) {
        if (on != state.Get(flag))
            item->setChecked(!on);
    });
}

template <typename Item>
void BindEnabled(const TPlayerState& state, TPlayerState::Flag flag, Item* item) {
    state.Bind(flag, item, [item](bool on) { item->setEnabled(on); });
}

// A button drawn down while the flag is on; clicks on it do not let it up.
template <typename Button>
void BindLatched(const TPlayerState& state, TPlayerState::Flag flag, Button* button) {
    state.Bind(flag, button, [button](bool on) { button->SetLatched(on); });
}

// Every item and the button of a command with a check mark (Pause, Repeat, Mute): checked by its
// flag, and Pause's enabled only while pausing can act.
template <typename Button>
void BindCommand(const TPlayerState& state, int commandId, const QList<QAction*>& items,
                 Button* button) {
    const TPlayerState::Flag flag = *TPlayerState::CheckedBy(commandId);
    for (QAction* item : items)
        BindChecked(state, flag, item);
    BindChecked(state, flag, button);
    if (flag != TPlayerState::Paused)
        return;
    for (QAction* item : items)
        BindEnabled(state, TPlayerState::PauseEnabled, item);
    BindEnabled(state, TPlayerState::PauseEnabled, button);
}
