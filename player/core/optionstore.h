#pragma once
// The player's boolean options. They have no store of their own: the check marks of the items of
// the main menu's Options popup are the options. Settings keys derive from the item texts, so the
// menu and Korvo.ini cannot drift apart.

#include <QString>

class TProfile;
struct TMenuItem;

class TOptionStore {
public:
    // The Options popup of the main menu; it must outlive the store.
    explicit TOptionStore(const TMenuItem& optionsPopup);

    // The item's check mark; an id that is not in the Options popup reads as unchecked.
    bool IsChecked(int id) const;
    // Ids outside the Options popup are ignored.
    void SetChecked(int id, bool on);
    void Toggle(int id) { SetChecked(id, !IsChecked(id)); }

    // Walk the popup and its sub-popups in menu order: every option reads its key as an integer
    // (default 1, so a missing key leaves the option on), or writes "0"/"1".
    void LoadOptions(const TProfile& profile, const QString& section);
    void SaveOptions(TProfile& profile, const QString& section) const;

    // The settings key of an item text: the text up to the first tab or backspace without its
    // blanks and "&"s; a null string for a command item (text ending in a blank) or an empty key.
    static QString OptionKey(const QString& itemText);

private:
    const TMenuItem& FPopup;
};
