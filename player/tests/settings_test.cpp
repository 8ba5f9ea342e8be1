// The option store over the Options menu, the settings file's load and save steps, the exit save,
// and where the application keeps its files.

#include "capturereporter.h"
#include "core/app.h"
#include "core/commandids.h"
#include "core/mainmenu.h"
#include "core/optionstore.h"
#include "core/profile.h"
#include "core/settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

void PrintTo(const TFontSpec& font, std::ostream* os) {
    *os << '"' << font.face.toStdString() << "\" " << font.height << ' ' << font.weight << ' '
        << font.italic;
}

namespace {

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// --- the option-key walk ------------------------------------------------------------------------

struct OptionCase {
    const char* key;
    int id;
};

// Every option of the Options popup, in menu order, with the key Korvo.ini stores it under.
const OptionCase AllOptions[] = {
    {"ContinuousLoop", CmContinuousLoop},
    {"RandomOrder", CmRandomOrder},
    {"ElapsedTime", CmElapsedTime},
    {"AutoPlay", CmAutoPlay},
    {"StopPlayonExit", CmStopPlayOnExit},
    {"AutoSaveAlbum", CmAutoSaveAlbum},
    {"Ignore1-TrackCDs", CmIgnoreOneTrackCds},
    {"Menu", CmMenuBar},
    {"QueueBox", CmQueueBox},
    {"PositionSlider", CmPositionSlider},
    {"VolumeBar", CmVolumeBar},
    {"Buttons", CmButtons},
    {"StatusBar", CmStatusBar},
    {"AlwaysonTop", CmAlwaysOnTop},
    {"MiniHelp", CmMiniHelp},
    {"SaveSettingsonExit", CmSaveSettingsOnExit},
};

class OptionKeyOfMenu : public ::testing::TestWithParam<OptionCase> {
protected:
    TMainMenu menu;
};

TEST_P(OptionKeyOfMenu, ItemTextGivesTheStoredKey) {
    QAction* action = menu.Action(GetParam().id);
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isCheckable());
    EXPECT_EQ(TOptionStore::OptionKey(action->text()), QString::fromLatin1(GetParam().key));
}

INSTANTIATE_TEST_SUITE_P(Options, OptionKeyOfMenu, ::testing::ValuesIn(AllOptions),
                         [](const auto& info) {
                             QString name = QString::fromLatin1(info.param.key);
                             return name.remove(QLatin1Char('-')).toStdString();
                         });

// The Options popup holds these options and nothing else that has a key: every other command
// item there ends in a blank.
TEST(OptionWalk, SavesExactlyTheOptionsInMenuOrder) {
    QTemporaryDir dir;
    TMainMenu menu;
    TOptionStore options(menu.Popup(TMainMenu::Options));
    TProfile profile(dir.filePath("Korvo.ini"));
    options.SaveOptions(profile, "Settings");
    const auto entries = profile.ReadSection("Settings");
    ASSERT_EQ(entries.size(), int(std::size(AllOptions)));
    for (int i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].key, QString::fromLatin1(AllOptions[i].key));
}

struct KeyTextCase {
    const char* text;
    const char* key; // nullptr: not an option
};

class OptionKeyOfText : public ::testing::TestWithParam<KeyTextCase> {};

TEST_P(OptionKeyOfText, DropsBlanksAndAmpersandsUpToTheShortcut) {
    const QString key = TOptionStore::OptionKey(QString::fromUtf8(GetParam().text));
    if (GetParam().key)
        EXPECT_EQ(key, QString::fromUtf8(GetParam().key));
    else
        EXPECT_TRUE(key.isNull()) << key.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, OptionKeyOfText,
    ::testing::Values(
        KeyTextCase{"&Menu\tAlt+M", "Menu"}, KeyTextCase{"A &b\bC", "Ab"},
        KeyTextCase{"&Default Size ", nullptr}, KeyTextCase{"&Everything\tAlt+1 ", nullptr},
        KeyTextCase{"Set &Font... ", nullptr}, KeyTextCase{"&Save Settings Now ", nullptr},
        KeyTextCase{"", nullptr}, KeyTextCase{"&\tx", nullptr},
        // Texts are cut at 79 characters: the blank at position 80 does not count.
        KeyTextCase{"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnop"
                    "qrstuvwxyza ",
                    "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnop"
                    "qrstuvwxyza"}));

TEST(OptionStore, OnlyOptionsPopupItemsAreOptions) {
    TMainMenu menu;
    TOptionStore options(menu.Popup(TMainMenu::Options));
    menu.Action(CmPause)->setChecked(true);
    EXPECT_FALSE(options.IsChecked(CmPause));
    options.SetChecked(CmRepeat, true);
    EXPECT_FALSE(menu.Action(CmRepeat)->isChecked());
    EXPECT_FALSE(options.IsChecked(123456));
    EXPECT_TRUE(options.IsChecked(CmMenuBar)); // the menu bar starts checked
    options.Toggle(CmMiniHelp);
    EXPECT_TRUE(menu.Action(CmMiniHelp)->isChecked());
    options.Toggle(CmMiniHelp);
    EXPECT_FALSE(options.IsChecked(CmMiniHelp));
}

TEST(OptionStore, LoadReadsNonZeroAsOnAndAbsentAsOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Korvo.ini");
    Put(path, "[settings]\ncontinuousloop=0\nRANDOMORDER=abc\nElapsedTime=2\nAutoPlay=\n"
              "SaveSettingsOnExit=0\nIgnore1-TrackCDs=-1\n");
    TMainMenu menu;
    TOptionStore options(menu.Popup(TMainMenu::Options));
    options.LoadOptions(TProfile(path), "Settings");
    EXPECT_FALSE(options.IsChecked(CmContinuousLoop));
    EXPECT_FALSE(options.IsChecked(CmRandomOrder));
    EXPECT_TRUE(options.IsChecked(CmElapsedTime));
    EXPECT_TRUE(options.IsChecked(CmAutoPlay));
    EXPECT_FALSE(options.IsChecked(CmSaveSettingsOnExit));
    EXPECT_TRUE(options.IsChecked(CmIgnoreOneTrackCds));
    EXPECT_TRUE(options.IsChecked(CmStatusBar));
}

// --- settings -----------------------------------------------------------------------------------

class FakeFrame : public TSettingsFrame {
public:
    int LogicalDpiY() const override { return dpi; }
    QPoint CurrentPosition() const override { return current; }
    QRect RestoredGeometry() const override { return restored; }
    void PlaceWindow(int x, int y, int width) override {
        placed = {x, y, width};
        calls.append("place");
    }
    void ApplyMiniHelp(bool on) override {
        miniHelp = on;
        calls.append("minihelp");
    }
    void ApplyAlwaysOnTop(bool on) override {
        onTop = on;
        calls.append("ontop");
    }
    void UpdateElementChecks() override { calls.append("elements"); }

    int dpi = 96;
    QPoint current{5, 6};
    QRect restored{10, 20, 300, 150};
    std::vector<int> placed;
    bool miniHelp = false;
    bool onTop = false;
    QStringList calls;
};

class FakePlayer : public TSettingsPlayer {
public:
    void ShowOptionWords() override { calls.append("words"); }
    void SwitchRepeatOn() override {
        repeat = true;
        calls.append("repeat");
    }
    void SetCirculateIfStuck(bool on) override {
        circulate = on;
        calls.append("circulate");
    }
    void SetQueueFont(const TFontSpec& f) override {
        font = f;
        calls.append("font");
    }
    TFontSpec QueueFont() const override { return font; }
    void SetVolumeDevice(int number) override {
        device = number;
        calls.append("device");
    }
    int DefaultVolumeDevice() const override { return defaultDevice; }
    void FinishSetUp() override { calls.append("finish"); }
    bool IsPaused() const override { return paused; }
    bool IsStopped() const override { return stopped; }
    bool IsRepeat() const override { return repeat; }
    void SaveAlbum() override {
        ++albumSaves;
        calls.append("album");
    }
    void StopPlayback() override {
        stopped = true;
        calls.append("stop");
    }

    bool repeat = false;
    bool circulate = false;
    bool paused = false;
    bool stopped = true;
    TFontSpec font;
    int device = -1;
    int defaultDevice = 1;
    int albumSaves = 0;
    QStringList calls;
};

class SettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath("Korvo.ini");
    TMainMenu menu;
    TOptionStore options{menu.Popup(TMainMenu::Options)};
    TProfile profile{path};
    FakeFrame frame;
    FakePlayer player;
    TSettings settings{profile, options, frame};
    TCaptureReporter reporter;

    void SetUp() override { settings.SetPlayer(&player); }
    void Load(const QByteArray& file) {
        Put(path, file);
        settings.LoadSettings();
    }
};

TEST_F(SettingsFile, LoadRunsItsStepsInOrder) {
    Load("[State]\nStick=1\n");
    EXPECT_EQ(player.calls,
              (QStringList{"words", "repeat", "circulate", "font", "device", "finish"}));
    EXPECT_EQ(frame.calls, (QStringList{"minihelp", "ontop", "place"}));
}

TEST_F(SettingsFile, FileWithoutSettingsStartsWithEverythingOn) {
    Load("[General]\nVersion=2.7\n");
    for (const OptionCase& option : AllOptions)
        EXPECT_TRUE(options.IsChecked(option.id)) << option.key;
    EXPECT_TRUE(frame.onTop);
    EXPECT_TRUE(frame.miniHelp);
    EXPECT_TRUE(player.circulate);
    EXPECT_FALSE(player.repeat);
    EXPECT_EQ(player.device, 0);
    EXPECT_EQ(player.font, (TFontSpec{"MS Sans Serif", -11, 0, false}));
    EXPECT_EQ(frame.placed, (std::vector<int>{5, 6, 0}));
}

TEST_F(SettingsFile, FirstStartChoosesTheDefaultVolumeDeviceAndSavesIt) {
    settings.LoadSettings();
    EXPECT_EQ(player.device, 1);
    EXPECT_FALSE(QFile::exists(path)) << "starting writes nothing";
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadInt("Settings", "AuxOutDevice", -1), 1);
    player.defaultDevice = 2;
    settings.LoadSettings();
    EXPECT_EQ(player.device, 1) << "the choice once saved stays";
}

TEST_F(SettingsFile, FirstStartKeepsAChoiceMadeInTheDeviceDialog) {
    settings.LoadSettings();
    profile.WriteString("Settings", "AuxOutDevice", "0");
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadInt("Settings", "AuxOutDevice", -1), 0);
}

TEST_F(SettingsFile, FirstStartWithoutVolumeDevicesStoresNothing) {
    player.defaultDevice = 0;
    settings.LoadSettings();
    EXPECT_EQ(player.device, 0);
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadString("Settings", "AuxOutDevice", "absent"), "absent");
}

TEST_F(SettingsFile, StoredZeroKeepsTheVolumeControlDisabled) {
    Load("[Settings]\nAuxOutDevice=0\n");
    EXPECT_EQ(player.device, 0);
}

TEST_F(SettingsFile, LoadTakesEveryStoredValue) {
    Load("[Settings]\nAlwaysOnTop=0\nMiniHelp=0\nCirculateIfStuck=0\nAuxOutDevice=3\n"
         "Font=Arial, 10, 700, 1\n[General]\nWindowPosition=40 50 320\n");
    EXPECT_FALSE(frame.onTop);
    EXPECT_FALSE(frame.miniHelp);
    EXPECT_FALSE(player.circulate);
    EXPECT_EQ(player.device, 3);
    EXPECT_EQ(player.font, (TFontSpec{"Arial", -13, 700, true}));
    EXPECT_EQ(frame.placed, (std::vector<int>{40, 50, 320}));
}

TEST_F(SettingsFile, RoundTripKeepsEverySetting) {
    Load("[Settings]\nRandomOrder=0\nButtons=0\nSaveSettingsOnExit=0\nFont=Lucida, 12, 400, 0\n"
         "[General]\nWindowPosition=40 50 320 90\n[State]\nStick=1\n");
    settings.SaveSettings();
    const QByteArray saved = Slurp(path);

    TMainMenu menu2;
    TOptionStore options2(menu2.Popup(TMainMenu::Options));
    FakeFrame frame2;
    frame2.restored = frame.restored;
    FakePlayer player2;
    TProfile profile2(path);
    TSettings settings2(profile2, options2, frame2);
    settings2.SetPlayer(&player2);
    settings2.LoadSettings();
    for (const OptionCase& option : AllOptions)
        EXPECT_EQ(options2.IsChecked(option.id), options.IsChecked(option.id)) << option.key;
    EXPECT_FALSE(options2.IsChecked(CmRandomOrder));
    EXPECT_EQ(player2.font, player.font);
    EXPECT_TRUE(player2.repeat);
    EXPECT_EQ(frame2.placed, (std::vector<int>{10, 20, 300}));
    settings2.SaveSettings();
    EXPECT_EQ(Slurp(path), saved);
}

TEST_F(SettingsFile, SaveWritesStateAndRestoredRectangle) {
    Load("");
    frame.calls.clear();
    player.paused = true;
    player.stopped = false;
    player.repeat = true;
    frame.restored = QRect(-4, 7, 250, 120);
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadString("State", "Paused", ""), "1");
    EXPECT_EQ(profile.ReadString("State", "Stopped", ""), "0");
    EXPECT_EQ(profile.ReadString("State", "Stick", ""), "1");
    EXPECT_EQ(profile.ReadString("General", "WindowPosition", ""), "-4 7 250 120");
    EXPECT_EQ(profile.ReadString("Settings", "Font", ""), "MS Sans Serif, 8, 0, 0");
    EXPECT_EQ(frame.calls.front(), "elements");
}

TEST_F(SettingsFile, WithoutPlayerSaveKeepsWhatWasLoaded) {
    settings.SetPlayer(nullptr);
    Load("[Settings]\nFont=Courier, 9, 700, 1\n[State]\nStick=1\n");
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadString("Settings", "Font", ""), "Courier, 9, 700, 1");
    EXPECT_EQ(profile.ReadString("State", "Stick", ""), "1");
    EXPECT_EQ(profile.ReadString("State", "Stopped", ""), "1");
    EXPECT_EQ(profile.ReadString("State", "Paused", ""), "0");
}

struct VersionCase {
    const char* stored; // nullptr: no Version key
    const char* after;
};

class SettingsVersion : public SettingsFile, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(SettingsVersion, SaveWritesCurrentVersionUnlessStoredTextIsGreater) {
    Load(GetParam().stored ? QByteArray("[General]\nVersion=") + GetParam().stored + "\n"
                           : QByteArray());
    settings.SaveSettings();
    EXPECT_EQ(profile.ReadString("General", "Version", "<none>"), GetParam().after);
}

// The comparison is of plain strings: "10.0" sorts below "2.7".
INSTANTIATE_TEST_SUITE_P(Versions, SettingsVersion,
                         ::testing::Values(VersionCase{nullptr, "2.7"}, VersionCase{"1.2", "2.7"},
                                           VersionCase{"2.7", "2.7"}, VersionCase{"3.0", "3.0"},
                                           VersionCase{"2.70", "2.70"}, VersionCase{"", "2.7"},
                                           VersionCase{"10.0", "2.7"},
                                           VersionCase{"2.8 and more text", "2.8 and more text"}));

struct PositionCase {
    const char* stored; // nullptr: no WindowPosition key
    std::vector<int> placed;
};

class SettingsPosition : public SettingsFile, public ::testing::WithParamInterface<PositionCase> {};

TEST_P(SettingsPosition, UsesLeftTopAndWidthOnly) {
    Load(GetParam().stored ? QByteArray("[General]\nWindowPosition=") + GetParam().stored + "\n"
                           : QByteArray());
    EXPECT_EQ(frame.placed, GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, SettingsPosition,
    ::testing::Values(PositionCase{"10 20 300 400", {10, 20, 300}},
                      PositionCase{"10 20", {10, 20, 0}}, PositionCase{nullptr, {5, 6, 0}},
                      PositionCase{"-3 -4 200", {-3, -4, 200}}, PositionCase{"garbage", {0, 0, 0}},
                      PositionCase{"1,2,3", {1, 0, 0}},
                      // Read into 20 characters: the width is cut after its first digits.
                      PositionCase{"100000 200000 3000000", {100000, 200000, 30000}}));

struct FontCase {
    const char* stored;
    int dpi;
    TFontSpec font;
};

class SettingsFont : public SettingsFile, public ::testing::WithParamInterface<FontCase> {};

TEST_P(SettingsFont, ParsesFaceAndNumbers) {
    frame.dpi = GetParam().dpi;
    Load(QByteArray("[Settings]\nFont=") + GetParam().stored + "\n");
    EXPECT_EQ(player.font, GetParam().font);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, SettingsFont,
    ::testing::Values(FontCase{"Arial, 10, 700, 1", 96, {"Arial", -13, 700, true}},
                      FontCase{"Arial, 10, 700, 1", 120, {"Arial", -17, 700, true}},
                      FontCase{"Courier New", 96, {"Courier New", 0, 0, false}},
                      FontCase{"   Lucida,12", 96, {"Lucida", -16, 0, false}},
                      FontCase{"Sans ,9 ,700,1", 96, {"Sans ", -12, 0, false}},
                      FontCase{"X, -8, 0, 0", 96, {"X", 11, 0, false}},
                      FontCase{", 8, 0, 0", 96, {"", -11, 0, false}}));

// The value is read into 80 characters, so a long face name pushes the numbers out.
TEST_F(SettingsFile, FontValueIsCutAtSeventyNineCharacters) {
    Load("[Settings]\nFont=" + QByteArray(71, 'F') + ", 12, 700, 1\n");
    EXPECT_EQ(player.font, (TFontSpec{QString(71, 'F'), -16, 70, false}));
    Load("[Settings]\nFont=" + QByteArray(90, 'G') + ", 12, 700, 1\n");
    EXPECT_EQ(player.font, (TFontSpec{QString(79, 'G'), 0, 0, false}));
}

TEST(FontConversion, PointsAndPixelsRoundTrip) {
    for (int dpi : {72, 96, 120, 144}) {
        for (int points = 1; points < 40; ++points) {
            const TFontSpec font =
                TSettings::ParseFont(QStringLiteral("F, %1, 0, 0").arg(points), dpi);
            EXPECT_EQ(TSettings::FormatFont(font, dpi), QStringLiteral("F, %1, 0, 0").arg(points))
                << dpi << " dpi";
        }
    }
}

TEST(FontConversion, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 1, 3), 2);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, 1), -1);
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
}

TEST_F(SettingsFile, ExitSaveWithOptionOffWritesOnlyThatKey) {
    Put(path, "");
    settings.LoadSettings();
    options.SetChecked(CmSaveSettingsOnExit, false);
    options.SetChecked(CmAutoSaveAlbum, false);
    settings.ExitSave(false);
    EXPECT_EQ(Slurp(path), "[Settings]\nSaveSettingsOnExit=0\n");
    EXPECT_EQ(player.albumSaves, 0);

    TMainMenu next;
    TOptionStore nextOptions(next.Popup(TMainMenu::Options));
    nextOptions.LoadOptions(TProfile(path), "Settings");
    EXPECT_FALSE(nextOptions.IsChecked(CmSaveSettingsOnExit));
    EXPECT_TRUE(nextOptions.IsChecked(CmAutoSaveAlbum));
}

TEST_F(SettingsFile, ExitSaveSavesAllWhenOptionOnOrForced) {
    for (bool forced : {false, true}) {
        Put(path, "");
        settings.LoadSettings();
        options.SetChecked(CmSaveSettingsOnExit, !forced);
        settings.ExitSave(forced);
        EXPECT_EQ(profile.ReadString("General", "Version", ""), "2.7");
        EXPECT_EQ(profile.ReadInt("Settings", "SaveSettingsOnExit", -1), forced ? 0 : 1);
        EXPECT_EQ(profile.ReadSection("Settings").size(), int(std::size(AllOptions)) + 1);
    }
    EXPECT_EQ(player.albumSaves, 2); // Auto Save Album defaults to on
}

TEST_F(SettingsFile, SessionEndSavesThenStops) {
    Load("");
    player.stopped = false;
    player.calls.clear();
    settings.SessionEnding();
    EXPECT_EQ(player.calls, (QStringList{"album", "stop"}));
    EXPECT_EQ(profile.ReadString("State", "Stopped", ""), "0"); // saved while still playing
    EXPECT_TRUE(player.stopped);
}

TEST_F(SettingsFile, SaveNowSavesTheAlbumOnlyWithAutoSave) {
    Load("[Settings]\nAutoSaveAlbum=0\nSaveSettingsOnExit=0\n");
    settings.SaveSettingsNow();
    EXPECT_EQ(player.albumSaves, 0);
    EXPECT_EQ(profile.ReadString("General", "Version", ""), "2.7");
    options.SetChecked(CmAutoSaveAlbum, true);
    settings.SaveSettingsNow();
    EXPECT_EQ(player.albumSaves, 1);
}

// --- bad settings files -------------------------------------------------------------------------

enum class BadFile { Missing, Garbage, Binary, ReadOnlyEmpty, Directory, Huge };

class SettingsBadFile : public SettingsFile, public ::testing::WithParamInterface<BadFile> {};

TEST_P(SettingsBadFile, GivesDefaultsAndNoMessage) {
    switch (GetParam()) {
    case BadFile::Missing:
        break;
    case BadFile::Garbage:
        Put(path, "This is not a settings file.\n=== [ ] ]][[ =\nFont\n[Settings\nAutoPlay=0\n");
        break;
    case BadFile::Binary: {
        QByteArray bytes(4096, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7919) & 0xff);
        Put(path, bytes);
        break;
    }
    case BadFile::ReadOnlyEmpty:
        Put(path, "");
        ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
        break;
    case BadFile::Directory:
        ASSERT_TRUE(QDir(dir.path()).mkdir("Korvo.ini"));
        break;
    case BadFile::Huge: {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(512) * 1024 * 1024));
        break;
    }
    }
    settings.LoadSettings();
    for (const OptionCase& option : AllOptions)
        EXPECT_TRUE(options.IsChecked(option.id)) << option.key;
    EXPECT_EQ(player.font, TSettings::DefaultFont(frame.dpi));
    EXPECT_EQ(player.device, GetParam() == BadFile::Missing ? player.defaultDevice : 0);
    EXPECT_EQ(frame.placed, (std::vector<int>{5, 6, 0}));
    settings.ExitSave(false);
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_EQ(reporter.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, SettingsBadFile,
                         ::testing::Values(BadFile::Missing, BadFile::Garbage, BadFile::Binary,
                                           BadFile::ReadOnlyEmpty, BadFile::Directory,
                                           BadFile::Huge));

// --- where the files live -----------------------------------------------------------------------

class AppPaths : public ::testing::Test {
protected:
    void SetUp() override { savedHome = qgetenv("KORVO_HOME"); }
    void TearDown() override { qputenv("KORVO_HOME", savedHome); }
    QByteArray savedHome;
    QTemporaryDir dir;
};

TEST_F(AppPaths, KorvoHomeOverridesTheProgramFolder) {
    const QString home = dir.filePath("home/korvo");
    qputenv("KORVO_HOME", home.toLocal8Bit());
    TApp app(dir.filePath("bin/korvo32"));
    EXPECT_EQ(TApp::Instance(), &app);
    EXPECT_EQ(app.ModuleDirectory(), dir.filePath("bin"));
    EXPECT_EQ(app.SettingsPath(), home + "/Korvo.ini");
    EXPECT_EQ(app.DatabasePath(), home + "/cdalb.idb");
    EXPECT_TRUE(QFileInfo(home).isDir());
}

TEST_F(AppPaths, WritableProgramFolderHoldsTheFiles) {
    qunsetenv("KORVO_HOME");
    TApp app(dir.filePath("korvo32"));
    EXPECT_EQ(app.SettingsPath(), dir.filePath("Korvo.ini"));
}

TEST_F(AppPaths, AnInstalledProgramKeepsItsFilesPerUser) {
    qunsetenv("KORVO_HOME");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/bin")));
    ASSERT_TRUE(QDir().mkpath(TApp::InstalledDataDirectory(dir.filePath("usr/bin"))));
    EXPECT_EQ(TApp::InstalledDataDirectory(dir.filePath("usr/bin")),
              dir.filePath("usr/share/korvo"));
    TApp app(dir.filePath("usr/bin/korvo32"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(app.DataDirectory(), config + "/Korvo") << "not in the shared program folder";
}

TEST_F(AppPaths, UnusableProgramFolderFallsBackToTheConfigFolder) {
    qunsetenv("KORVO_HOME");
    TApp app(dir.filePath("gone/korvo32"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_EQ(app.DataDirectory(), config + "/Korvo");
    EXPECT_TRUE(QFileInfo(app.DataDirectory()).isDir());
}

TEST_F(AppPaths, BareProgramNameMeansTheCurrentFolder) {
    qputenv("KORVO_HOME", dir.path().toLocal8Bit());
    TApp app("korvo32");
    EXPECT_EQ(app.ModuleDirectory(), QDir::currentPath());
    EXPECT_EQ(TApp::Name(), "Korvo");
}

} // namespace
