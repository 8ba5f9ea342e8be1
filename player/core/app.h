#pragma once
// The player's application object: where the program and its files live, for the whole run.
//
// The module directory is the folder of the running program (help pages and the display's font
// file are looked up there). Korvo.ini and cdalb.idb live in the data directory: KORVO_HOME when it
// is set, otherwise the module directory when it is writable and not an installed program's
// folder (such as /usr/bin, which every user shares), otherwise $XDG_CONFIG_HOME/Korvo (by default
// ~/.config/Korvo).

#include <QString>

class TApp {
public:
    // The application name, the frame's window class and the default message-box title.
    static const QString& Name();

    // programPath: the full path of the running program file.
    explicit TApp(const QString& programPath);
    ~TApp();
    TApp(const TApp&) = delete;
    TApp& operator=(const TApp&) = delete;

    // The one application object of the process, nullptr outside its life.
    static TApp* Instance();

    const QString& ModuleDirectory() const { return FModuleDirectory; }
    const QString& DataDirectory() const { return FDataDirectory; }
    // The data directory joined with Korvo.ini / cdalb.idb.
    const QString& SettingsPath() const { return FSettingsPath; }
    QString DatabasePath() const;

    // Where an installed program in moduleDirectory finds its read-only data files (the LED
    // font, the demo disc): share/korvo under the installation's prefix.
    static QString InstalledDataDirectory(const QString& moduleDirectory);
    // The data directory the rules above choose for a program in moduleDirectory.
    static QString ChooseDataDirectory(const QString& moduleDirectory);

private:
    QString FModuleDirectory;
    QString FDataDirectory;
    QString FSettingsPath;
};
