// The album database file: round trips through save and load, the older formats, the listing and
// export that scan the file as text, and files that are damaged, enormous or read-only.

#include "controllerfixture.h"

#include "core/albumdatabase.h"
#include "core/commandids.h"
#include "core/profile.h"
#include "core/savefileasker.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TAnswerPath : public TSaveFileAsker {
public:
    QString AskSaveFile(const TSaveFileRequest& request) override {
        asked = request;
        return path;
    }
    QString path;
    TSaveFileRequest asked;
};

// The three-track disc of the fixture: 135 s, tracks of 30, 45 and 60 s.
const QString Key = QStringLiteral("135304560");

class AlbumDatabaseTest : public ControllerFixture {
protected:
    TAlbumDatabase& Database() { return controller->Database(); }
};

TEST_F(AlbumDatabaseTest, SaveAndLoadRoundTripTitlesOrderAndCurrentSong) {
    Load();
    controller->Album().SetTitle(QStringLiteral("Blue, Green & [Red]"));
    TSongListModel& titles = controller->Titles();
    titles.Delete(1);
    titles.Insert(1, QStringLiteral("Zweite Straße"));
    controller->Queue().Select(2);
    controller->MoveSelected(true, true); // 3 1 2
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    ASSERT_EQ(controller->SaveAlbum(), 0);
    EXPECT_EQ(hints.shown.last(), QStringLiteral("Saving album to disk..."));

    TProfile profile(databasePath);
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("DatabaseVersion"), QString()),
              QStringLiteral("2.7"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("SongOrder"), QString()),
              QStringLiteral("3 1 2"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("AlbumTotalLength"), QString()),
              QStringLiteral("135"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("NumberOfTracks"), QString()),
              QStringLiteral("3"));
    const QString saved = profile.ReadString(Key, QStringLiteral("SavedAtTime"), QString());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 1-3][0-9] "
                                                  "[0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}$"))
                    .match(saved)
                    .hasMatch())
        << saved.toStdString();
    QStringList keys;
    for (const auto& entry : profile.ReadSection(Key))
        keys << entry.key;
    EXPECT_EQ(keys, (QStringList{"DatabaseVersion", "SavedAtTime", "Title", "AlbumTotalLength",
                                 "NumberOfTracks", "CurrentSong", "Song1", "Song2", "Song3",
                                 "SongOrder"}));

    controller->CloseAlbum();
    EXPECT_FALSE(controller->Album().IsLoaded());
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Blue, Green & [Red]"));
    EXPECT_EQ(QueueTracks(), (QList<int>{3, 1, 2}));
    EXPECT_EQ(controller->Queue().TextAt(2), QStringLiteral("2\tZweite Straße\t00:45"));
    EXPECT_EQ(controller->CurrentSong(), 2);
    EXPECT_EQ(controller->Queue().Selected(), 2);
}

TEST_F(AlbumDatabaseTest, AnOldSectionIsReadInItsFormatAndRewrittenWithoutItsOldKeys) {
    WriteFile(databasePath, "[" + Key.toLatin1() +
                                "]\n"
                                "DatabaseVersion=2.0\n"
                                "Title=Old Times\n"
                                "Song1=1, Opening, 1\n"
                                "Song2=2, Left out, 0\n"
                                "Song3=3,   Commas, inside, 1\n"
                                "Remark=from an older player\n");
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Old Times"));
    EXPECT_EQ(controller->Titles().TextAt(1), QStringLiteral("Left out"));
    EXPECT_EQ(controller->Titles().TextAt(2), QStringLiteral("Commas, inside"));
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 3}));
    ASSERT_EQ(controller->SaveAlbum(), 0);
    TProfile profile(databasePath);
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("DatabaseVersion"), QString()),
              QStringLiteral("2.7"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("Remark"), QStringLiteral("gone")),
              QStringLiteral("gone"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("Song2"), QString()),
              QStringLiteral("Left out"));
    EXPECT_EQ(profile.ReadString(Key, QStringLiteral("SongOrder"), QString()),
              QStringLiteral("1 3"));
}

TEST_F(AlbumDatabaseTest, AVersionlessSectionWithTitlesCountsAsOld) {
    WriteFile(databasePath, "[" + Key.toLatin1() + "]\nSong1=1, First, 1\nSong2=2, Second, 0\n");
    Load();
    EXPECT_EQ(controller->Titles().TextAt(0), QStringLiteral("First"));
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 3}));
    WriteFile(databasePath, "[" + Key.toLatin1() + "]\nTitle=New\nSongOrder=2\n");
    Load();
    EXPECT_EQ(controller->Titles().TextAt(0), QStringLiteral("Track 1"));
    EXPECT_EQ(QueueTracks(), (QList<int>{2}));
}

TEST_F(AlbumDatabaseTest, SavingOneAlbumLeavesTheOthersAsTheyWere) {
    const QByteArray others = "[111]\nDatabaseVersion=2.7\nTitle=First\nSong1=a\n"
                              "; a comment line kept as it is\n"
                              "[999999]\nDatabaseVersion=2.7\nTitle=Last\nSong1=z\n";
    WriteFile(databasePath, others);
    Load();
    ASSERT_EQ(controller->SaveAlbum(), 0);
    const QByteArray after = ReadFile(databasePath);
    EXPECT_TRUE(after.startsWith(others)) << after.toStdString();
    TAlbumDatabase database(databasePath);
    EXPECT_EQ(database.ReadSummary(QStringLiteral("999999")).title, QStringLiteral("Last"));
}

// Ways to make the database unwritable that hold for root too: a file without any write
// permission (the profile layer treats it as frozen) and a folder standing where the file goes.
struct UnwritableCase {
    const char* name;
    void (*freeze)(const QString& path);
};

class UnwritableDatabaseTest : public AlbumDatabaseTest,
                               public ::testing::WithParamInterface<UnwritableCase> {
protected:
    // Loads the album from a readable file, then makes the file unwritable.
    void LoadThenFreeze() {
        WriteFile(databasePath, Before());
        Load();
        GetParam().freeze(databasePath);
        controller->Album().SetTitle(QStringLiteral("Changed"));
    }
    static QByteArray Before() {
        return "[" + Key.toLatin1() + "]\nDatabaseVersion=2.7\nTitle=Kept\n";
    }
    QString Unsaved() const {
        return QStringLiteral("The album could not be saved to %1.").arg(databasePath);
    }
    // The album in memory is the changed one, still loaded; the file holds what it held.
    void ExpectAlbumKept() {
        EXPECT_TRUE(controller->Album().IsLoaded());
        EXPECT_EQ(controller->Album().Title(), QStringLiteral("Changed"));
        EXPECT_EQ(controller->Queue().Count(), 3);
        EXPECT_EQ(TAlbumDatabase(databasePath).ReadSummary(Key).title,
                  QFileInfo(databasePath).isFile() ? QStringLiteral("Kept")
                                                   : QStringLiteral("???"));
    }
};

TEST_P(UnwritableDatabaseTest, SaveReportsTheFailureAndKeepsTheAlbum) {
    LoadThenFreeze();
    EXPECT_EQ(controller->SaveAlbum(), -1);
    EXPECT_TRUE(controller->SaveFailed());
    EXPECT_TRUE(reporter.messages.isEmpty()) << "a save alone shows nothing";
    controller->SaveCommand();
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, Unsaved());
    EXPECT_EQ(reporter.messages[0].icon, TMessageIcon::Warning);
    EXPECT_EQ(reporter.messages[0].buttons, TMessageButtons::Ok);
    EXPECT_TRUE(controller->SaveFailed());
    ExpectAlbumKept();
}

TEST_P(UnwritableDatabaseTest, AFailedDeleteIsReportedAndTheAlbumStays) {
    LoadThenFreeze();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    reporter.answers << TMessageAnswer::Yes;
    controller->DeleteAlbum();
    ASSERT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(reporter.messages[1].text,
              QStringLiteral("The album could not be deleted from %1.").arg(databasePath));
    EXPECT_EQ(reporter.messages[1].icon, TMessageIcon::Warning);
    EXPECT_FALSE(controller->IsStopped()) << "nothing was deleted, so nothing reloads";
    ExpectAlbumKept();
}

// Closing the album and opening the disc again both end the album: with Auto Save Album on and a
// database that cannot take it, the user decides; No keeps the album as it is.
struct CloseRoute {
    const char* name;
    void (*close)(TPlayController& controller);
};

TEST_P(UnwritableDatabaseTest, AutoSaveOnCloseAsksWhetherToCloseAnyway) {
    const CloseRoute routes[] = {
        {"Close", [](TPlayController& c) { c.CloseAlbum(); }},
        {"Open", [](TPlayController& c) { c.OpenCommand(); }},
    };
    Check(CmAutoSaveAlbum);
    for (const CloseRoute& route : routes) {
        SCOPED_TRACE(route.name);
        reporter.messages.clear();
        QFile::setPermissions(databasePath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(databasePath);
        QDir(folder.path()).rmdir(QStringLiteral("cdalb.idb"));
        LoadThenFreeze();
        reporter.answers << TMessageAnswer::No;
        route.close(*controller);
        ASSERT_EQ(reporter.messages.size(), 1);
        const TMessage& question = reporter.messages[0];
        EXPECT_EQ(question.text, Unsaved() + QStringLiteral(" Close anyway?"));
        EXPECT_EQ(question.buttons, TMessageButtons::YesNo);
        EXPECT_EQ(question.defaultAnswer, TMessageAnswer::No);
        ExpectAlbumKept();

        reporter.answers << TMessageAnswer::Yes;
        route.close(*controller);
        ASSERT_EQ(reporter.messages.size(), 2);
        EXPECT_NE(controller->Album().Title(), QStringLiteral("Changed")) << "the album went";
        EXPECT_FALSE(controller->SaveFailed());
    }
}

INSTANTIATE_TEST_SUITE_P(Files, UnwritableDatabaseTest,
                         ::testing::Values(UnwritableCase{"FileWithoutWritePermission",
                                                          [](const QString& path) {
                                                              ASSERT_TRUE(QFile::setPermissions(
                                                                  path, QFileDevice::ReadOwner));
                                                          }},
                                           UnwritableCase{"FolderInItsPlace",
                                                          [](const QString& path) {
                                                              ASSERT_TRUE(QFile::remove(path));
                                                              ASSERT_TRUE(QDir().mkdir(path));
                                                          }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlbumDatabaseTest, DeleteAsksAndReloadsTheDiscAsUntitled) {
    Check(CmAutoSaveAlbum);
    Load();
    controller->Album().SetTitle(QStringLiteral("To go"));
    ASSERT_EQ(controller->SaveAlbum(), 0);
    reporter.answers << TMessageAnswer::No;
    controller->DeleteAlbum();
    ASSERT_EQ(reporter.messages.size(), 1);
    const TMessage& question = reporter.messages[0];
    EXPECT_EQ(question.text, QStringLiteral("Remove this album from the database?"));
    EXPECT_EQ(question.buttons, TMessageButtons::YesNo);
    EXPECT_EQ(question.defaultAnswer, TMessageAnswer::No);
    EXPECT_EQ(question.icon, TMessageIcon::Question);
    EXPECT_TRUE(TProfile(databasePath).HasSection(Key));
    reporter.answers << TMessageAnswer::Yes;
    controller->DeleteAlbum();
    EXPECT_FALSE(TProfile(databasePath).HasSection(Key)) << "Auto Save must not write it back";
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Untitled"));
}

TEST_F(AlbumDatabaseTest, ANewDiscTakesItsOwnTitlesAndTheDatabaseKeepsTheUsersEdits) {
    drive->titles = {QStringLiteral("Disc Title"),
                     {QStringLiteral("First"), QString(), QString(60, QLatin1Char('x'))}};
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Disc Title"));
    EXPECT_EQ(controller->Titles().TextAt(0), QStringLiteral("First"));
    EXPECT_EQ(controller->Titles().TextAt(1), QStringLiteral("Track 2")) << "no text for it";
    EXPECT_EQ(controller->Titles().TextAt(2), QString(60, QLatin1Char('x')));

    controller->Titles().Delete(0);
    controller->Titles().Insert(0, QStringLiteral("Mine"));
    ASSERT_EQ(controller->SaveAlbum(), 0);
    Load();
    EXPECT_EQ(controller->Titles().TextAt(0), QStringLiteral("Mine"));

    ASSERT_TRUE(TProfile(databasePath).DeleteSection(Key));
    drive->titles.album = QString(80, QLatin1Char('A'));
    Load();
    EXPECT_EQ(controller->Album().Title(), QString(49, QLatin1Char('A')))
        << "a disc's title is held to the title's limit";
}

struct GarbageCase {
    const char* name;
    const char* section;
    QList<int> queue;
    int current;
    int selected;
};

class GarbageSectionTest : public ControllerFixture,
                           public ::testing::WithParamInterface<GarbageCase> {};

// Whatever a section holds, loading it and using the player afterwards stays within the lists.
TEST_P(GarbageSectionTest, LoadsWithoutLeavingTheLists) {
    WriteFile(databasePath, "[" + Key.toLatin1() + "]\n" + GetParam().section);
    Check(CmContinuousLoop);
    Load();
    EXPECT_EQ(QueueTracks(), GetParam().queue);
    EXPECT_EQ(controller->CurrentSong(), GetParam().current);
    EXPECT_EQ(controller->Queue().Selected(), GetParam().selected);
    (void)controller->CurrentTitle();
    controller->PlaySelected();
    controller->SortByOriginalOrder();
    controller->Shuffle();
    controller->HighlightCurrent();
    controller->NextSong();
    FinishSong();
    controller->Tick();
    controller->Queue().Select(0);
    controller->RemoveSelected();
    EXPECT_EQ(controller->SaveAlbum(), 0);
    Load();
    EXPECT_LE(controller->Titles().Count(), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, GarbageSectionTest,
    ::testing::Values(
        GarbageCase{
            "TrackBeyondTheDisc", "DatabaseVersion=2.7\nSongOrder=1 50 2\n", {1, 50, 2}, 0, 0},
        GarbageCase{"NegativeAndZeroTracks",
                    "DatabaseVersion=2.7\nSongOrder=-4 0 x 3\n",
                    {-4, 0, 0, 3},
                    0,
                    0},
        GarbageCase{
            "CurrentBeyondTheQueue", "DatabaseVersion=2.7\nCurrentSong=99\n", {1, 2, 3}, 99, -1},
        GarbageCase{"NegativeCurrent", "DatabaseVersion=2.7\nCurrentSong=-7\n", {1, 2, 3}, 0, 0},
        GarbageCase{
            "HugeNumbers",
            "DatabaseVersion=2.7\nCurrentSong=99999999999\nSongOrder=2147483647 -2147483648\n",
            {2147483647, -2147483647 - 1},
            2147483647,
            -1},
        GarbageCase{"EmptyOrder", "DatabaseVersion=2.7\nSongOrder=\n", {}, 0, -1},
        GarbageCase{"OldFormatWithoutCommas",
                    "DatabaseVersion=1.9\nSong1=just text\nSong2=7,x\n",
                    {0, 3},
                    0,
                    0},
        GarbageCase{"BinaryValues",
                    "DatabaseVersion=\x01\x02\nTitle=\xff\xfe\nSongOrder=\x80 2\n",
                    {1, 2, 3},
                    0,
                    0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlbumDatabaseTest, AQueueEntryForATrackBeyondTheDiscHasNoTitleAndNoLength) {
    WriteFile(databasePath, "[" + Key.toLatin1() + "]\nDatabaseVersion=2.7\nSongOrder=50\n");
    Check(CmAutoPlay);
    Load();
    EXPECT_EQ(controller->Queue().TextAt(0), QStringLiteral("50\t\t00:00"));
    EXPECT_TRUE(controller->IsStopped()) << "a track the disc does not have cannot play";
    EXPECT_TRUE(drive->Requests("play").isEmpty());
}

class DatabaseFileTest : public ::testing::Test {
protected:
    QString Path() const { return folder.filePath(QStringLiteral("cdalb.idb")); }
    QTemporaryDir folder;
};

// Every album the listing shows must be one the profile layer reads and deletes, so both agree
// on what a header line is.
TEST_F(DatabaseFileTest, ListingNamesTheSectionsTheProfileParserReads) {
    const QByteArray longName = "[" + QByteArray(1500, '7') + "]";
    WriteFile(Path(), "[100]\nTitle=Test Album [X]\nSong1=[x\n[123] ;note\n[ 124 ]\r\n"
                      "  [200]  \n[Live] tonight\n" +
                          longName + "\n[]\n[100]\nTitle=again\n[a b]\n[end]");
    QStringList sections;
    ASSERT_TRUE(TAlbumDatabase(Path()).ListSections(sections));
    EXPECT_EQ(sections,
              (QStringList{"100", "123", "124", "200", "Live", QString(1500, '7'), "a b", "end"}));
    QStringList parsed = TProfile(Path()).Sections();
    parsed.removeAll(QString());
    EXPECT_EQ(sections, parsed);
}

TEST_F(DatabaseFileTest, OldCodePageAlbumsAreListedAndExportedWithTheirAccents) {
    WriteFile(Path(), "[Caf\xe9]\nDatabaseVersion=2.7\nTitle=Caf\xe9 del Mar\nNumberOfTracks=1\n"
                      "Song1=Ni\xf1o\n");
    TAlbumDatabase database(Path());
    QStringList sections;
    ASSERT_TRUE(database.ListSections(sections));
    EXPECT_EQ(sections, QStringList{"Café"});
    EXPECT_EQ(database.ReadSummary(QStringLiteral("Café")).title, "Café del Mar");
    const QString out = folder.filePath(QStringLiteral("export.txt"));
    ASSERT_EQ(database.Export(out), TAlbumDatabase::TExportResult::Ok);
    EXPECT_EQ(QString::fromUtf8(ReadFile(out)), "Café del Mar,1,00:00,Niño,Café\n");
}

TEST_F(DatabaseFileTest, WritingUnderARefusedSectionNameFails) {
    WriteFile(Path(), "[1]\nTitle=One\n");
    TAlbumContents contents;
    contents.title = QStringLiteral("Two");
    contents.titles = QStringList{"a"};
    EXPECT_FALSE(TAlbumDatabase(Path()).WriteAlbum(QStringLiteral("bad]key"), contents));
    EXPECT_EQ(ReadFile(Path()), "[1]\nTitle=One\n");
}

TEST_F(DatabaseFileTest, ExportWritesOneRecordPerListedSection) {
    WriteFile(Path(),
              "[245190301]\nDatabaseVersion=2.7\nTitle=Album\nAlbumTotalLength=736\n"
              "NumberOfTracks=3\nSong1=One\nSong2=Two [Live] version\n\n"
              "[12340]\nTitle=Ancient\nSong1=1, Old one, 1\nSong2=2, Old two, 0\n\n"
              "[777]\nDatabaseVersion=2.0\nTitle=Middle\nAlbumTotalLength=61\nNumberOfTracks=2\n"
              "Song1=1, Mid one, 1\nSong2=2, Mid two, 1\n");
    const QString out = folder.filePath(QStringLiteral("export.txt"));
    ASSERT_EQ(TAlbumDatabase(Path()).Export(out), TAlbumDatabase::TExportResult::Ok);
    EXPECT_EQ(QString::fromUtf8(ReadFile(out)),
              QStringLiteral("Album,3,12:16,One,Two [Live] version,Track 3,245190301\n"
                             "Ancient,2,20:34,Old one,Old two,12340\n"
                             "Middle,2,01:01,Mid one,Mid two,777\n"));
}

TEST_F(DatabaseFileTest, ListingSummaryKeepsTrackCountsWithinACd) {
    WriteFile(Path(), "[1]\nDatabaseVersion=2.7\nNumberOfTracks=2000000000\n"
                      "[2]\nDatabaseVersion=2.7\nNumberOfTracks=-5\n"
                      "[3]\nDatabaseVersion=1.5\nUseLongDBLookup=0\nSong1=a\n");
    TAlbumDatabase database(Path());
    EXPECT_EQ(database.ReadSummary(QStringLiteral("1")).tracks, MaxTracks);
    EXPECT_EQ(database.ReadSummary(QStringLiteral("2")).tracks, 0);
    EXPECT_EQ(database.ReadSummary(QStringLiteral("3")).tracks, 0);
    EXPECT_EQ(database.ReadSummary(QStringLiteral("3"), false).version, QStringLiteral("1.5"));
}

struct BadFileCase {
    const char* name;
    QByteArray bytes;
};

class BadDatabaseTest : public ControllerFixture,
                        public ::testing::WithParamInterface<BadFileCase> {};

TEST_P(BadDatabaseTest, LoadListSaveAndExportSurvive) {
    WriteFile(databasePath, GetParam().bytes);
    Load();
    EXPECT_EQ(controller->Queue().Count(), 3);
    QStringList sections;
    EXPECT_TRUE(controller->Database().ListSections(sections));
    for (const QString& section : sections)
        controller->Database().ReadSummary(section);
    ASSERT_EQ(controller->SaveAlbum(), 0);
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Untitled"));
    TAnswerPath asker;
    asker.path = folder.filePath(QStringLiteral("out.txt"));
    controller->SetSaveFileAsker(&asker);
    controller->ExportDatabase();
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_TRUE(ReadFile(asker.path).contains(Key.toLatin1() + "\n"));
}

QByteArray Binary() {
    QByteArray bytes;
    for (int i = 0; i < 70'000; ++i)
        bytes.append(static_cast<char>((i * 7919) % 256));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadDatabaseTest,
    ::testing::Values(
        BadFileCase{"Binary", Binary()},
        BadFileCase{"Truncated", "[135304560]\nDatabaseVersion=2.7\nTitle=Untitled\nSongOr"},
        BadFileCase{"EnormousLine", "[1]\nTitle=" + QByteArray(3'000'000, 'x') + "\n"},
        BadFileCase{"NoLineEnds", QByteArray(100'000, '[')}, BadFileCase{"Empty", QByteArray()}),
    [](const auto& info) { return std::string(info.param.name); });

class ExportTest : public AlbumDatabaseTest {
protected:
    TAnswerPath asker;
};

TEST_F(ExportTest, CommandAsksForATextFileAndReportsFailures) {
    controller->SetSaveFileAsker(&asker);
    asker.path = folder.filePath(QStringLiteral("missing-folder/out.txt"));
    controller->ExportDatabase();
    EXPECT_EQ(asker.asked.title, QStringLiteral("Export Database"));
    EXPECT_EQ(asker.asked.filterName, QStringLiteral("Text DB file (*.txt)"));
    EXPECT_EQ(asker.asked.defaultExtension, QStringLiteral("txt"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text,
              asker.path + QStringLiteral("\n\nCannot open export file for writing."));
    EXPECT_TRUE(reporter.messages[0].beep);

    asker.path = folder.filePath(QStringLiteral("out.txt"));
    WriteFile(asker.path, "kept");
    controller->ExportDatabase(); // no database file yet
    ASSERT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(reporter.messages[1].text,
              databasePath + QStringLiteral("\n\nCannot read the database."));
    EXPECT_EQ(ReadFile(asker.path), QByteArray("kept")) << "a failed export leaves the old file";

    asker.path.clear(); // cancelled
    controller->ExportDatabase();
    EXPECT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(hints.open, 0);
}

// The save-file dialog asks before overwriting, but no answer may turn the player's own files
// into the export, under whatever name they are reached.
TEST_F(ExportTest, NeverReplacesTheDatabaseOrTheSettingsFile) {
    const QByteArray database = "[1]\nTitle=One\n";
    const QByteArray settings = "[Settings]\nFont=Arial, 9, 0, 0\n";
    const QString settingsPath = folder.filePath(QStringLiteral("Korvo.ini"));
    WriteFile(databasePath, database);
    WriteFile(settingsPath, settings);
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    ASSERT_TRUE(QFile::link(databasePath, folder.filePath(QStringLiteral("link.txt"))));
    controller->SetSettingsPath(settingsPath);
    controller->SetSaveFileAsker(&asker);
    const QString refused[] = {databasePath, settingsPath,
                               folder.filePath(QStringLiteral("sub/../cdalb.idb")),
                               folder.filePath(QStringLiteral("link.txt"))};
    for (const QString& path : refused) {
        SCOPED_TRACE(path.toStdString());
        reporter.messages.clear();
        asker.path = path;
        controller->ExportDatabase();
        ASSERT_EQ(reporter.messages.size(), 1);
        EXPECT_EQ(reporter.messages[0].text,
                  QStringLiteral("The export cannot replace the album database or the settings "
                                 "file. Choose another file."));
        EXPECT_EQ(reporter.messages[0].icon, TMessageIcon::Warning);
        EXPECT_EQ(ReadFile(databasePath), database);
        EXPECT_EQ(ReadFile(settingsPath), settings);
    }
    // A settings file not written yet is the player's all the same.
    ASSERT_TRUE(QFile::remove(settingsPath));
    asker.path = settingsPath;
    controller->ExportDatabase();
    EXPECT_FALSE(QFile::exists(settingsPath));

    reporter.messages.clear();
    asker.path = folder.filePath(QStringLiteral("sub/albums.txt"));
    controller->ExportDatabase();
    EXPECT_TRUE(reporter.messages.isEmpty());
    EXPECT_EQ(ReadFile(asker.path), QByteArray("One,0,00:01,1\n"));
}

} // namespace
