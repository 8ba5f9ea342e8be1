#include "ui/menubuilder.h"

#include "core/commandids.h"
#include "core/framegeometry.h"
#include "core/mainmenu.h"

#include <QHash>
#include <QMenu>
#include <QMenuBar>

namespace {

// The hint id of a pop-up of the main menu, by its text before any tab; 0 for none.
int PopupHintId(const QString& text) {
    static const QHash<QString, int> ids{
        {QStringLiteral("&Album"), 7759},     {QStringLiteral("&Maintain"), 7752},
        {QStringLiteral("&Database"), 17941}, {QStringLiteral("&Song"), 7721},
        {QStringLiteral("&Options"), 7861},   {QStringLiteral("Song &Play"), 7862},
        {QStringLiteral("E&lements"), 7868},  {QStringLiteral("Size and &Views"), 17929},
        {QStringLiteral("Controls"), 17949},  {QStringLiteral("&Help"), 7715},
    };
    return ids.value(text.section(QLatin1Char('\t'), 0, 0));
}

QMenu* MakePopup(const TMenuItem& popup, QWidget* parent) {
    auto* menu = new QMenu(popup.text, parent);
    menu->menuAction()->setData(PopupHintId(popup.text));
    for (const TMenuItem& item : popup.items) {
        if (item.popup)
            menu->addMenu(MakePopup(item, menu));
        else if (item.IsSeparator())
            menu->addSeparator();
        else
            menu->addAction(item.action);
    }
    return menu;
}

} // namespace

void BuildMenuBar(QMenuBar* bar, const TMainMenu& menu) {
    // The pop-ups belong to the frame, not to the menu bar: they are found through its items.
    for (const TMenuItem& popup : menu.Popups())
        bar->addMenu(MakePopup(popup, bar->parentWidget()));
}

QMenu* BuildElementsMenu(const TMainMenu& menu, QWidget* parent) {
    auto* elements = new QMenu(parent);
    // Grouped as in the Options menu: the menu bar, the sliders, the buttons and the status.
    for (int id : TFrameGeometry::Elements()) {
        elements->addAction(menu.Action(id));
        if (id == CmMenuBar || id == CmVolumeBar || id == CmStatusBar)
            elements->addSeparator();
    }
    elements->addAction(menu.Action(CmAlwaysOnTop));
    return elements;
}
