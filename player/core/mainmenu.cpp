#include "core/mainmenu.h"

#include "core/commandids.h"

#include <QAction>
#include <QKeySequence>

#include <vector>

namespace {

// One line of the menu table below: a command (id > 0), a separator (empty text) or a popup
// (children given).
struct TItemSpec {
    const char* text;
    int id = 0;
    bool checkable = false;
    const char* key = nullptr; // accelerator of table 7735
    std::vector<TItemSpec> items = {};
    bool popup = false;
};

TItemSpec Cmd(const char* text, int id, const char* key = nullptr) {
    return TItemSpec{text, id, false, key, {}, false};
}
TItemSpec Check(const char* text, int id, const char* key = nullptr) {
    return TItemSpec{text, id, true, key, {}, false};
}
TItemSpec Sep() {
    return TItemSpec{"", 0, false, nullptr, {}, false};
}
TItemSpec Pop(const char* text, std::vector<TItemSpec> items) {
    return TItemSpec{text, 0, false, nullptr, std::move(items), true};
}

TMenuItem Build(const TItemSpec& entry, TMainMenu* menu) {
    TMenuItem item;
    item.text = QString::fromUtf8(entry.text);
    item.id = entry.id;
    item.popup = entry.popup;
    for (const TItemSpec& child : entry.items)
        item.items.push_back(Build(child, menu));
    if (entry.id > 0) {
        item.action = new QAction(item.text, menu);
        item.action->setData(entry.id);
        item.action->setCheckable(entry.checkable);
        if (entry.key)
            item.action->setShortcut(QKeySequence(QString::fromLatin1(entry.key)));
        const int id = entry.id;
        QObject::connect(item.action, &QAction::triggered, menu,
                         [menu, id] { emit menu->command(id); });
    }
    return item;
}

void Collect(const TMenuItem& item, std::vector<QAction*>& actions) {
    if (item.action)
        actions.push_back(item.action);
    for (const TMenuItem& child : item.items)
        Collect(child, actions);
}

} // namespace

TMainMenu::TMainMenu(QObject* parent) : QObject(parent) {
    // The view presets, Default Size, the custom view items and the dialog commands of the
    // Options popup end in a blank: the option-key walk takes them for commands.
    const TItemSpec popups[] = {
        Pop("&Album",
            {Cmd("&Open", CmAlbumOpen), Cmd("Open &Image...", CmOpenImage),
             Cmd("&Save\tCtrl+S", CmAlbumSave, "Ctrl+S"), Cmd("C&lose", CmAlbumClose),
             Cmd("&Delete...", CmAlbumDelete), Sep(),
             Pop("&Maintain", {Cmd("&Sort", CmAlbumSort), Cmd("Shu&ffle", CmAlbumShuffle)}), Sep(),
             Cmd("&Properties...", CmAlbumProperties), Sep(),
             Pop("&Database", {Cmd("&Maintain...", CmDatabaseMaintain),
                               Cmd("&Export...", CmDatabaseExport), Cmd("&Rip...", CmRip)}),
             Sep(), Cmd("&Eject", CmEject), Cmd("&Retract", CmRetract), Sep(),
             Cmd("E&xit\tAlt+F4", CmExit)}),
        Pop("&Song",
            {Cmd("&Play", CmPlay), Cmd("&Stop", CmStop), Check("Pa&use\tCtrl+P", CmPause, "Ctrl+P"),
             Sep(), Check("Repea&t\tCtrl+T", CmRepeat, "Ctrl+T"), Cmd("&Circulate", CmCirculate),
             Check("&Mute\tCtrl+M", CmMute, "Ctrl+M"), Sep(), Cmd("&Edit...", CmSongEdit),
             Cmd("&Add...", CmSongAdd), Cmd("Remo&ve", CmSongRemove), Sep(),
             Cmd("Mo&ve Up\tCtrl+U", CmMoveUp, "Ctrl+U"),
             Cmd("Move Do&wn\tCtrl+D", CmMoveDown, "Ctrl+D"),
             Cmd("&Highlight Current\tCtrl+H", CmHighlightCurrent, "Ctrl+H")}),
        Pop("&Options",
            {Pop("Song &Play",
                 {Check("&Continuous Loop", CmContinuousLoop),
                  Check("&Random Order", CmRandomOrder), Check("&Elapsed Time", CmElapsedTime),
                  Check("Auto &Play", CmAutoPlay), Check("Stop P&lay on Exit", CmStopPlayOnExit)}),
             Sep(), Check("&Auto Save Album", CmAutoSaveAlbum),
             Check("&Ignore 1-Track CDs", CmIgnoreOneTrackCds), Sep(),
             Pop("E&lements\tAlt+RMB",
                 {Check("&Menu\tAlt+M", CmMenuBar, "Alt+M"), Sep(), Check("&Queue Box", CmQueueBox),
                  Check("&Position Slider", CmPositionSlider), Check("&Volume Bar", CmVolumeBar),
                  Sep(), Check("&Buttons", CmButtons), Check("&Status Bar", CmStatusBar), Sep(),
                  Check("Always on &Top", CmAlwaysOnTop)}),
             Sep(),
             Pop("Size and &Views", {Cmd("&Default Size ", CmDefaultSize), Sep(),
                                     Cmd("&Everything\tAlt+1 ", CmViewEverything, "Alt+1"),
                                     Cmd("&Volume Bar Off\tAlt+2 ", CmViewVolumeBarOff, "Alt+2"),
                                     Cmd("S&liders Off\tAlt+3 ", CmViewSlidersOff, "Alt+3"),
                                     Cmd("Btns + S&tatus\tAlt+4 ", CmViewButtonsAndStatus, "Alt+4"),
                                     Cmd("&Buttons Off\tAlt+5 ", CmViewButtonsOff, "Alt+5"),
                                     Cmd("&Digital + Menu\tAlt+6 ", CmViewDigitalAndMenu, "Alt+6"),
                                     Cmd("&Menu Off\tAlt+7 ", CmViewMenuOff, "Alt+7"), Sep(),
                                     Cmd("&Custom View\tAlt+C ", CmCustomView, "Alt+C"),
                                     Cmd("&Save Cust. View\tAlt+S ", CmSaveCustomView, "Alt+S")}),
             Sep(),
             Pop("Controls",
                 {Check("Mini &Help", CmMiniHelp), Sep(), Cmd("Set &Font... ", CmSetFont),
                  Cmd("&Volume Device... ", CmVolumeDevice)}),
             Sep(), Check("Save Settings on &Exit", CmSaveSettingsOnExit),
             Cmd("&Save Settings Now ", CmSaveSettingsNow)}),
        Pop("&Help", {Cmd("&Contents\tF1", CmHelpContents, "F1"), Cmd("&Tutorial", CmHelpTutorial),
                      Cmd("&Keyword Search", CmHelpKeywordSearch),
                      Cmd("&Using Help", CmHelpUsingHelp), Sep(), Cmd("&About Korvo...", CmAbout)}),
    };
    for (const TItemSpec& popup : popups)
        FPopups.push_back(Build(popup, this));
    for (QAction* action : Actions())
        FActions.insert(action->data().toInt(), action);
    Action(CmMenuBar)->setChecked(true);
}

QAction* TMainMenu::Action(int id) const {
    return FActions.value(id);
}

std::vector<QAction*> TMainMenu::Actions() const {
    std::vector<QAction*> actions;
    for (const TMenuItem& popup : FPopups)
        Collect(popup, actions);
    return actions;
}
