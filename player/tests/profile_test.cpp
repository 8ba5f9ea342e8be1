// Profile files against hand-written files: names, layouts, truncation, section deletion, the parse
// cache and files changed behind its back, and refused or failing writes that must lose nothing.

#include "core/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

QByteArray Slurp(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes in place (same inode), the way a text editor or a script changes a file.
void Overwrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

void SetModified(const QString& path, const timespec& when) {
    timespec times[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

timespec Modified(const QString& path) {
    struct stat st {};
    stat(QFile::encodeName(path).constData(), &st);
    return st.st_mtim;
}

class ProfileFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("test.ini"));

    TProfile& Write(const QByteArray& bytes) {
        Overwrite(path, bytes);
        profile = std::make_unique<TProfile>(path);
        return *profile;
    }
    std::unique_ptr<TProfile> profile;
};

// --- reading hand-written files -----------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    const char* expected; // nullptr: the default comes back
};

class ProfileRead : public ProfileFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, FindsTheValueOrFallsBackToTheDefault) {
    const ReadCase& c = GetParam();
    TProfile& p = Write(QByteArray::fromStdString(c.file));
    const QString def = QStringLiteral("<default>");
    const QString expected = c.expected ? QString::fromUtf8(c.expected) : def;
    EXPECT_EQ(p.ReadString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), def), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "[General]\nVersion=2.7\n", "General", "Version", "2.7"},
        ReadCase{"SectionCase", "[GENERAL]\nVersion=2.7\n", "general", "Version", "2.7"},
        ReadCase{"KeyCase", "[General]\nVERSION=2.7\n", "General", "version", "2.7"},
        ReadCase{"NonAsciiCase", "[Ärger]\nÜber=ja\n", "ärger", "über", "ja"},
        ReadCase{"BlanksAroundNames", "  [ General ]  \n\t Version \t=  2.7  \n", "General",
                 "Version", "2.7"},
        ReadCase{"Crlf", "[General]\r\nVersion=2.7\r\n[Settings]\r\nAutoPlay=0\r\n", "Settings",
                 "AutoPlay", "0"},
        ReadCase{"NoFinalLineEnd", "[General]\nVersion=2.7", "General", "Version", "2.7"},
        ReadCase{"ValueWithEquals", "[S]\nk=a=b\n", "S", "k", "a=b"},
        ReadCase{"EmptyValue", "[S]\nk=\n", "S", "k", ""},
        ReadCase{"FirstDuplicateKeyWins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
        ReadCase{"DuplicateSectionsMerge", "[S]\na=1\n[T]\n[s]\nb=2\n", "S", "b", "2"},
        ReadCase{"KeyBeforeAnySection", "k=1\n[S]\n", "S", "k", nullptr},
        ReadCase{"KeyOfAnotherSection", "[S]\n[T]\nk=1\n", "S", "k", nullptr},
        ReadCase{"CommentIsNoKey", "[S]\n;k=1\n#k=2\n", "S", ";k", nullptr},
        ReadCase{"LineWithoutEquals", "[S]\nk\n", "S", "k", nullptr},
        ReadCase{"HeaderWithoutBracket", "[S\nk=1\n", "S", "k", nullptr},
        ReadCase{"MissingSection", "[S]\nk=1\n", "T", "k", nullptr},
        ReadCase{"EmptyFile", "", "S", "k", nullptr},
        ReadCase{"Binary", "\x00\xff\xfe[\x01]\n=\x00\x00\n\xff=\xfe\n"s, "S", "k", nullptr},
        ReadCase{"BinaryAroundGoodLines", "\x00\xff\n[S]\nk=ok\n\xfe\xff\x00"s, "S", "k", "ok"},
        ReadCase{"OldCodePage", "[Caf\xe9]\nk=Caf\xe9 del Mar \x80\n", "Café", "k",
                 "Café del Mar €"},
        ReadCase{"NoBreakSpaceAfterKey", "[S]\nk\xc2\xa0=1\n", "S", "k", "1"},
        ReadCase{"OldCodePageNoBreakSpaceAfterKey", "[S]\nk\xa0=1\n", "S", "k", "1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProfileFile, EveryListedKeyCanBeRead) {
    TProfile& p = Write("[S]\nk\xc2\xa0=1\n\xe2\x80\x83j\t=2\n");
    const auto entries = p.ReadSection("S");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].key, "k");
    EXPECT_EQ(entries[1].key, "j");
    for (const auto& entry : entries)
        EXPECT_EQ(p.ReadString("S", entry.key, "absent"), entry.value) << entry.key.toStdString();
}

// Files of the old program are in the Windows code page; the first save turns their names and
// values into UTF-8 and leaves comments as they were.
TEST_F(ProfileFile, OldCodePageTitlesSurviveTheFirstSave) {
    TProfile& p = Write("[Caf\xe9]\r\nTitle=Caf\xe9 del Mar\r\n; n\xe9\r\n");
    EXPECT_TRUE(p.WriteString("Café", "Other", "x"));
    EXPECT_EQ(Slurp(path), "[Caf\xc3\xa9]\r\nTitle=Caf\xc3\xa9 del Mar\r\nOther=x\r\n; n\xe9\r\n");
    TProfile::ClearCache();
    EXPECT_EQ(TProfile(path).ReadString("café", "title", ""), "Café del Mar");
    EXPECT_EQ(TProfile(path).Sections(), QStringList{"Café"});
}

qint64 AddressSpace() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').front().toLongLong() * 1024;
    return -1;
}

// A cached file holds what the file holds, not the largest file a profile may be.
TEST_F(ProfileFile, CachedFilesHoldOnlyTheirOwnSize) {
    std::vector<std::unique_ptr<TProfile>> profiles;
    const qint64 before = AddressSpace();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 4; ++i) {
        const QString file = dir.filePath(QStringLiteral("cached%1.ini").arg(i));
        Overwrite(file, "[S]\nk=1\n");
        profiles.push_back(std::make_unique<TProfile>(file));
        ASSERT_EQ(profiles.back()->ReadInt("S", "k", 0), 1);
    }
    EXPECT_LT(AddressSpace() - before, qint64(64) * 1024 * 1024);
}

TEST_F(ProfileFile, MissingFileGivesDefaultsAndStaysMissing) {
    TProfile p(path);
    EXPECT_EQ(p.ReadString("S", "k", "d"), "d");
    EXPECT_EQ(p.ReadInt("S", "k", 7), 7);
    EXPECT_TRUE(p.Sections().isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

struct TruncateCase {
    const char* value; // nullptr: the key is absent and the default is truncated
    int size;
    int count;
    const char* text;
};

class ProfileTruncate : public ProfileFile, public ::testing::WithParamInterface<TruncateCase> {};

TEST_P(ProfileTruncate, CopiesAtMostSizeMinusOneCharacters) {
    const TruncateCase& c = GetParam();
    TProfile& p = Write(c.value ? QByteArray("[S]\nk=") + c.value + "\n" : QByteArray("[S]\n"));
    QString out = QStringLiteral("stale");
    EXPECT_EQ(p.ReadString("S", "k", QStringLiteral("default"), out, c.size), c.count);
    EXPECT_EQ(out, QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProfileTruncate,
    ::testing::Values(TruncateCase{"2.7", 10, 3, "2.7"}, TruncateCase{"2.7", 4, 3, "2.7"},
                      TruncateCase{"2.7", 3, 2, "2."}, TruncateCase{"2.7", 1, 0, ""},
                      TruncateCase{"2.7", 0, 0, ""}, TruncateCase{"", 80, 0, ""},
                      TruncateCase{nullptr, 4, 3, "def"},
                      TruncateCase{"a\xf0\x9f\x8e\xb5z", 3, 1, "a"},
                      TruncateCase{"a\xf0\x9f\x8e\xb5z", 4, 3, "a\xf0\x9f\x8e\xb5"}));

struct IntCase {
    const char* value;
    int expected;
};

class ProfileInt : public ProfileFile, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileInt, ReadsTheLeadingInteger) {
    TProfile& p = Write(QByteArray("[S]\nk=") + GetParam().value + "\n");
    EXPECT_EQ(p.ReadInt("S", "k", 42), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProfileInt,
                         ::testing::Values(IntCase{"12", 12}, IntCase{"12abc", 12},
                                           IntCase{"  -5 ", -5}, IntCase{"+3", 3},
                                           IntCase{"abc", 0}, IntCase{"", 42}, IntCase{"- 1", 0},
                                           IntCase{"99999999999", INT_MAX},
                                           IntCase{"-99999999999", INT_MIN}));

TEST_F(ProfileFile, ListsSectionsAndTheKeysOfOne) {
    TProfile& p = Write("junk\n[One]\na=1\n; note\nB = 2\na=3\n\n[Two]\n[one]\nc=4\nb=5\n");
    EXPECT_EQ(p.Sections(), (QStringList{"One", "Two"}));
    EXPECT_TRUE(p.HasSection("ONE"));
    EXPECT_FALSE(p.HasSection("Three"));
    const auto entries = p.ReadSection("one");
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].key, "a");
    EXPECT_EQ(entries[0].value, "1");
    EXPECT_EQ(entries[1].key, "B");
    EXPECT_EQ(entries[1].value, "2");
    EXPECT_EQ(entries[2].key, "c");
    EXPECT_EQ(entries[2].value, "4");
}

// --- writing ------------------------------------------------------------------------------------

TEST_F(ProfileFile, WriteCreatesFileAndSectionsInTheStandardLayout) {
    TProfile p(path);
    EXPECT_TRUE(p.WriteString("General", "Version", "2.7"));
    EXPECT_TRUE(p.WriteString("Settings", "AutoPlay", "1"));
    EXPECT_TRUE(p.WriteString("general", "WindowPosition", "1 2 3 4"));
    EXPECT_EQ(Slurp(path),
              "[General]\nVersion=2.7\nWindowPosition=1 2 3 4\n[Settings]\nAutoPlay=1\n");
}

TEST_F(ProfileFile, ReplacingAValueKeepsEveryOtherLineByteForByte) {
    TProfile& p = Write("; Korvo\r\n[S]\r\n  Key = old  \r\n\r\n; tail \xff\r\n[T]\r\nx=1\r\n");
    EXPECT_TRUE(p.WriteString("s", "KEY", "new"));
    EXPECT_EQ(Slurp(path), "; Korvo\r\n[S]\r\nKEY=new\r\n\r\n; tail \xff\r\n[T]\r\nx=1\r\n");
}

TEST_F(ProfileFile, NewKeyFollowsTheLastKeyOfItsSection) {
    TProfile& p = Write("[S]\na=1\n\n; about T\n[T]\nb=2\n");
    EXPECT_TRUE(p.WriteString("S", "c", "3"));
    EXPECT_EQ(Slurp(path), "[S]\na=1\nc=3\n\n; about T\n[T]\nb=2\n");
}

TEST_F(ProfileFile, NullKeyDeletesTheWholeSectionAndEveryCopyOfIt) {
    TProfile& p = Write("[Keep]\nk=1\n[Gone]\na=1\nb=2\n[Other]\nk=2\n[GONE]\nc=3\n");
    EXPECT_TRUE(p.WriteString("gone", QString(), QString()));
    EXPECT_EQ(Slurp(path), "[Keep]\nk=1\n[Other]\nk=2\n");
    EXPECT_FALSE(p.HasSection("Gone"));
    EXPECT_EQ(p.ReadString("Gone", "c", "absent"), "absent");
    EXPECT_EQ(p.ReadString("Other", "k", ""), "2");
    EXPECT_TRUE(p.DeleteSection("Keep"));
    EXPECT_EQ(p.Sections(), QStringList{"Other"});
}

TEST_F(ProfileFile, NullValueDeletesOnlyThatKey) {
    TProfile& p = Write("[S]\nTitle=x\nSong1=a\ntitle=y\n");
    EXPECT_TRUE(p.WriteString("S", "Title", QString()));
    EXPECT_EQ(Slurp(path), "[S]\nSong1=a\n");
    EXPECT_TRUE(p.WriteString("S", "Title", ""));
    EXPECT_EQ(p.ReadString("S", "Title", "d"), "");
}

TEST_F(ProfileFile, AValueCannotStartAnotherLine) {
    TProfile p(path);
    EXPECT_TRUE(p.WriteString("Album", "Title", "Live\n[Settings]\r\nAutoPlay=0"));
    EXPECT_EQ(p.Sections(), QStringList{"Album"});
    EXPECT_EQ(p.ReadString("Album", "Title", ""), "Live [Settings]  AutoPlay=0");
}

class ProfileBadName : public ProfileFile,
                       public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(ProfileBadName, IsRefusedAndLeavesTheFileAlone) {
    const QByteArray before = "[S]\nk=1\n";
    TProfile& p = Write(before);
    EXPECT_FALSE(p.WriteString(GetParam().first, GetParam().second, "v"));
    EXPECT_EQ(Slurp(path), before);
}

INSTANTIATE_TEST_SUITE_P(Names, ProfileBadName,
                         ::testing::Values(std::make_pair("", "k"), std::make_pair("  ", "k"),
                                           std::make_pair("a]b", "k"), std::make_pair("a\nb", "k"),
                                           std::make_pair("S", ""), std::make_pair("S", "a=b"),
                                           std::make_pair("S", "a\nb"), std::make_pair("S", "[x"),
                                           std::make_pair("S", ";x")));

// --- the cache and the file changing behind its back --------------------------------------------

TEST_F(ProfileFile, UnchangedFileIsParsedOnce) {
    TProfile& p = Write("[S]\nk=1\n");
    SetModified(path, timespec{time(nullptr) - 3600, 0});
    EXPECT_EQ(p.ReadString("S", "k", ""), "1");
    const quint64 parses = TProfile::ParseCount();
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(p.ReadInt("S", "k", 0), 1);
    TProfile other(path);
    EXPECT_EQ(other.ReadString("s", "K", ""), "1");
    EXPECT_EQ(TProfile::ParseCount(), parses);
}

TEST_F(ProfileFile, OwnWritesAreSeenWithoutParsingAgain) {
    TProfile p(path);
    ASSERT_TRUE(p.WriteString("S", "k", "1"));
    const quint64 parses = TProfile::ParseCount();
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(p.WriteString("S", "k", QString::number(i)));
        ASSERT_EQ(p.ReadInt("S", "k", -1), i);
    }
    EXPECT_EQ(TProfile::ParseCount(), parses);
}

TEST_F(ProfileFile, EditBehindTheCachesBackIsSeen) {
    TProfile& p = Write("[S]\nk=1\n");
    EXPECT_EQ(p.ReadString("S", "k", ""), "1");
    Overwrite(path, "[S]\nk=22\n");
    EXPECT_EQ(p.ReadString("S", "k", ""), "22");
}

// Time stamps move in clock ticks of several milliseconds, so an edit right after a read can leave
// the file's identity unchanged; repeated quick edits make sure some land within one tick.
TEST_F(ProfileFile, SameSizeEditWithinOneClockTickIsSeen) {
    TProfile& p = Write("[S]\nk=0\n");
    for (int i = 1; i <= 200; ++i) {
        const timespec stamp = Modified(path);
        ASSERT_EQ(p.ReadInt("S", "k", -1), (i - 1) % 10);
        Overwrite(path, QByteArray("[S]\nk=") + QByteArray::number(i % 10) + "\n");
        SetModified(path, stamp);
    }
    EXPECT_EQ(p.ReadInt("S", "k", -1), 0);
}

TEST_F(ProfileFile, FileReplacedByRenameIsSeen) {
    TProfile& p = Write("[S]\nk=1\n");
    const timespec stamp = Modified(path);
    EXPECT_EQ(p.ReadString("S", "k", ""), "1");
    const QString other = dir.filePath("other.ini");
    Overwrite(other, "[S]\nk=3\n");
    SetModified(other, stamp);
    ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()),
              0);
    EXPECT_EQ(p.ReadString("S", "k", ""), "3");
}

TEST_F(ProfileFile, DeletedFileGivesDefaults) {
    TProfile& p = Write("[S]\nk=1\n");
    EXPECT_EQ(p.ReadString("S", "k", ""), "1");
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(p.ReadString("S", "k", "d"), "d");
}

TEST_F(ProfileFile, WriteMergesIntoAFileChangedBehindTheCachesBack) {
    TProfile& p = Write("[S]\nk=1\n");
    EXPECT_EQ(p.ReadString("S", "k", ""), "1");
    Overwrite(path, "[S]\nk=1\n[Added]\nx=9\n");
    EXPECT_TRUE(p.WriteString("S", "k", "2"));
    EXPECT_EQ(Slurp(path), "[S]\nk=2\n[Added]\nx=9\n");
}

TEST_F(ProfileFile, BatchWritesOnceAndReadsSeeItsChanges) {
    TProfile& p = Write("[S]\nk=0\n");
    {
        TProfile::TBatch batch(p);
        for (int i = 1; i <= 30; ++i)
            ASSERT_TRUE(p.WriteString("Album", QStringLiteral("Song%1").arg(i), "x"));
        EXPECT_EQ(TProfile(path).ReadString("Album", "Song30", ""), "x");
        EXPECT_EQ(Slurp(path), "[S]\nk=0\n");
        EXPECT_TRUE(batch.Commit());
    }
    EXPECT_EQ(TProfile(path).ReadSection("Album").size(), 30);
    EXPECT_TRUE(Slurp(path).endsWith("Song30=x\n"));
}

// --- files that cannot be read or written -------------------------------------------------------

TEST_F(ProfileFile, ReadOnlyFileIsReadButNeverReplaced) {
    TProfile& p = Write("[S]\nk=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_EQ(p.ReadInt("S", "k", 0), 1);
    EXPECT_FALSE(p.WriteString("S", "k", "2"));
    EXPECT_FALSE(p.DeleteSection("S"));
    EXPECT_EQ(Slurp(path), "[S]\nk=1\n");
    EXPECT_EQ(p.ReadInt("S", "k", 0), 1);
}

TEST_F(ProfileFile, UnreadablePathGivesDefaultsAndIsNotReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("test.ini"));
    TProfile p(path);
    EXPECT_EQ(p.ReadString("S", "k", "d"), "d");
    EXPECT_FALSE(p.WriteString("S", "k", "v"));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(ProfileFile, HugeFileIsRefusedWithoutReadingIt) {
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(300) * 1024 * 1024)); // sparse, costs no disk
    }
    TProfile p(path);
    EXPECT_EQ(p.ReadString("S", "k", "d"), "d");
    EXPECT_FALSE(p.WriteString("S", "k", "v"));
    EXPECT_EQ(QFileInfo(path).size(), qint64(300) * 1024 * 1024);
}

TEST_F(ProfileFile, FailedWriteLeavesNoFileBehindAndReportsFailure) {
    const QString missing = dir.filePath("no/such/folder/test.ini");
    TProfile p(missing);
    EXPECT_FALSE(p.WriteString("S", "k", "v"));
    EXPECT_EQ(p.ReadString("S", "k", "d"), "d");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

} // namespace
