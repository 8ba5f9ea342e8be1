#include "core/optionstore.h"

#include "core/mainmenu.h"
#include "core/profile.h"

#include <QAction>

#include <functional>

namespace {

// Menu texts are read into 80-character buffers; longer texts are cut before the key is formed.
constexpr int MaxItemText = 79;

void Walk(const TMenuItem& item, const std::function<void(const TMenuItem&)>& visit) {
    for (const TMenuItem& child : item.items) {
        if (child.popup)
            Walk(child, visit);
        else if (child.id > 0 && child.action)
            visit(child);
    }
}

QAction* Find(const TMenuItem& popup, int id) {
    QAction* found = nullptr;
    Walk(popup, [&](const TMenuItem& item) {
        if (item.id == id)
            found = item.action;
    });
    return found;
}

} // namespace

TOptionStore::TOptionStore(const TMenuItem& optionsPopup) : FPopup(optionsPopup) {}

bool TOptionStore::IsChecked(int id) const {
    QAction* action = Find(FPopup, id);
    return action && action->isChecked();
}

void TOptionStore::SetChecked(int id, bool on) {
    if (QAction* action = Find(FPopup, id))
        action->setChecked(on);
}

QString TOptionStore::OptionKey(const QString& itemText) {
    const QString text = itemText.left(MaxItemText);
    if (text.isEmpty() || text.back() == QLatin1Char(' '))
        return QString();
    QString key;
    for (QChar c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\b'))
            break;
        if (c != QLatin1Char(' ') && c != QLatin1Char('&'))
            key += c;
    }
    return key.isEmpty() ? QString() : key;
}

void TOptionStore::LoadOptions(const TProfile& profile, const QString& section) {
    Walk(FPopup, [&](const TMenuItem& item) {
        const QString key = OptionKey(item.text);
        if (!key.isNull())
            item.action->setChecked(profile.ReadInt(section, key, 1) != 0);
    });
}

void TOptionStore::SaveOptions(TProfile& profile, const QString& section) const {
    Walk(FPopup, [&](const TMenuItem& item) {
        const QString key = OptionKey(item.text);
        if (!key.isNull())
            profile.WriteString(
                section, key, item.action->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    });
}
