// The settings store: the key tree and the profile. "Restarted" stores read a copy of the folder,
// so what they see is what reached the disk.

#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <functional>
#include <future>
#include <memory>
#include <thread>

// Readable QString values in failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const CKeyPath kPresets = "SOFTWARE\\Wavelathe Pro\\Sample Rate Presets";

// Names and texts that need escaping in every layer of the file.
const char* const kOddNames[] = {"a/b",
                                 "a\\b",
                                 "/lead",
                                 "trail\\",
                                 "50%",
                                 "%2F",
                                 "%25",
                                 "%K",
                                 "x=y;z",
                                 "[General]",
                                 "General",
                                 " spaced ",
                                 "Grüße ♪ 日本 🎵",
                                 "@ByteArray(x)",
                                 "a,b",
                                 "quote\"d",
                                 "tab\there",
                                 "A preset name well over forty-nine characters long"};

QStringList SubKeys(CKeyStore& store, const CKeyPath& key) {
    QStringList names;
    QString name;
    for (quint32 i = 0; store.EnumKey(key, i, name); ++i)
        names += name;
    return names;
}

QByteArray Query(CKeyStore& store, const CKeyPath& key, const QString& name = "Data") {
    QByteArray buffer(1 << 16, '\0');
    quint32 read = 0;
    if (!store.QueryValue(key, name, buffer.data(), quint32(buffer.size()), &read))
        return "(absent)";
    return buffer.left(read);
}

class SettingsStoreTest : public ::testing::Test {
protected:
    CSettingsStore& Restarted() {
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(m_dir.filePath(name), m_nextRun.filePath(name)));
        m_restarted = std::make_unique<CSettingsStore>(m_nextRun.path());
        return *m_restarted;
    }

    QTemporaryDir m_dir, m_nextRun;
    CSettingsStore m_store{m_dir.path()};
    CKeyStore& m_keys = m_store.Keys();
    std::unique_ptr<CSettingsStore> m_restarted;
};

TEST_F(SettingsStoreTest, KeysAreCreatedOpenedAndDeletedLikeRegistryKeys) {
    const CKeyPath cd = kPresets.Child("CD Quality");
    EXPECT_TRUE(m_keys.OpenKey(CKeyPath())) << "the root always exists";
    EXPECT_FALSE(m_keys.OpenKey(cd));
    ASSERT_TRUE(m_keys.CreateKey(cd));
    EXPECT_TRUE(m_keys.OpenKey("SOFTWARE\\Wavelathe Pro"));
    ASSERT_TRUE(m_keys.SetValue(cd, "Data", "16"));
    EXPECT_TRUE(m_keys.CreateKey(cd));
    EXPECT_EQ(Query(m_keys, cd), "16");
    for (const char* sibling : {"CD Quality/x", "CD Qualityx"})
        ASSERT_TRUE(m_keys.CreateKey(kPresets.Child(sibling)));
    ASSERT_TRUE(m_keys.CreateKey(cd.Child("inner")));

    EXPECT_TRUE(m_keys.DeleteKey(cd));
    EXPECT_EQ(Query(m_keys, cd), "(absent)");
    EXPECT_FALSE(m_keys.DeleteKey(cd));
    EXPECT_FALSE(m_keys.DeleteKey(CKeyPath()));
    CKeyStore& next = Restarted().Keys();
    EXPECT_FALSE(next.OpenKey(cd.Child("inner")));
    EXPECT_EQ(SubKeys(next, kPresets), QStringList({"CD Quality/x", "CD Qualityx"}));
    EXPECT_TRUE(next.DeleteKey(kPresets.Child("CD Quality/x")) &&
                next.DeleteKey(kPresets.Child("CD Qualityx")));
    EXPECT_TRUE(next.OpenKey(kPresets)) << "an emptied parent stays";
}

TEST_F(SettingsStoreTest, PathsWithAnEmptyNameOrValuesWithoutANameFail) {
    QString name;
    for (const CKeyPath& bad : {CKeyPath("A\\\\B"), CKeyPath("A\\"), kPresets.Child("")})
        EXPECT_FALSE(m_keys.CreateKey(bad) || m_keys.SetValue(bad, "Data", "x") ||
                     m_keys.OpenKey(bad) || m_keys.EnumKey(bad, 0, name));
    EXPECT_FALSE(m_keys.SetValue(kPresets, "", "x"));
}

TEST_F(SettingsStoreTest, QueryFillsAFixedBufferOnlyWhenTheValueFits) {
    const struct {
        int stored;
        quint32 buffer;
        bool ok;
    } cases[] = {{4, 4, true}, {3, 4, true}, {0, 4, true}, {2048, 2048, true}, {5, 4, false}};
    for (const auto& c : cases) {
        const QByteArray value(c.stored, '\x5a');
        ASSERT_TRUE(m_keys.SetValue(kPresets, "Data", value));
        QByteArray buffer(c.buffer, '\xaa');
        quint32 read = 12345;
        EXPECT_EQ(m_keys.QueryValue(kPresets, "Data", buffer.data(), c.buffer, &read), c.ok);
        EXPECT_EQ(read, quint32(c.stored)) << c.stored;
        EXPECT_EQ(buffer, c.ok ? value + QByteArray(c.buffer - c.stored, '\xaa')
                               : QByteArray(c.buffer, '\xaa'));
    }
    EXPECT_EQ(Query(m_keys, kPresets, "Frequency"), "(absent)");
    EXPECT_EQ(Query(m_keys, kPresets.Child("None")), "(absent)");
}

TEST_F(SettingsStoreTest, RawBytesSurviveARestartExactly) {
    QByteArray values[3] = {QByteArray(2048, '\0'), {}, {}};
    QRandomGenerator random(7);
    for (int i = 0; i < 2048; ++i) {
        values[1] += QByteArray(1, char(i)) + "a1\\x"; // bytes before hex digits, backslashes
        values[2] += char(random.bounded(256));
    }
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_keys.SetValue(kPresets.Child(QString::number(i)), "Data", values[i]));
    CKeyStore& next = Restarted().Keys();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Query(next, kPresets.Child(QString::number(i))), values[i]) << i;
}

TEST_F(SettingsStoreTest, EnumerationIsStableAndEndsWithAFailure) {
    for (const char* name : {"Tape", "a/", "CD Quality", "a&", "Phone", "a%", "DAT"})
        ASSERT_TRUE(m_keys.CreateKey(kPresets.Child(name)));
    const QStringList expected = {"CD Quality", "DAT", "Phone", "Tape", "a%", "a&", "a/"};
    EXPECT_EQ(SubKeys(m_keys, kPresets), expected);
    EXPECT_EQ(SubKeys(Restarted().Keys(), kPresets), expected);
    EXPECT_EQ(SubKeys(m_keys, "SOFTWARE\\Elsewhere"), QStringList());
}

// ----- files of earlier versions, written through QSettings ------------------------------------

// How earlier versions kept a name whole through QSettings.
QString LegacyName(const QString& name) {
    QString stored = name;
    return stored.replace(u'%', QStringLiteral("%25"))
        .replace(u'/', QStringLiteral("%2F"))
        .replace(u'\\', QStringLiteral("%5C"));
}

QString LegacyKey(const QString& name, const QString& value) {
    return QStringLiteral("SOFTWARE/Wavelathe Pro/Sample Rate Presets/") + LegacyName(name) + u'/' +
           LegacyName(value);
}

struct CValues {
    QList<QByteArray> bytes;
    QStringList texts;
    QList<int> numbers;
};

CValues EveryKindOfValue() {
    CValues values;
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    values.bytes = {QByteArray(),
                    all,
                    QByteArray("\0"
                               "123\xff"
                               "a",
                               6),
                    "@ByteArray(x)",
                    "a,b;c=d \" \\ ",
                    QByteArray(2048, '\0')};
    for (const char* name : kOddNames)
        values.texts += QString::fromUtf8(name);
    values.texts << QStringLiteral("/tmp/new\nline\r\x01.wav") << QStringLiteral("@@twice")
                 << QString::fromUtf16(u"nul\0inside", 10) << QStringLiteral("\\x41\\0");
    values.numbers = {0, -5, 600, INT_MIN, INT_MAX};
    return values;
}

// Files earlier versions wrote keep every value, name and number; and files written now read
// the same through QSettings, so that an earlier version still reads them.
TEST_F(SettingsStoreTest, EveryKindOfValueReadsTheSameAsThroughQSettingsBothWays) {
    const CValues values = EveryKindOfValue();
    {
        QSettings keys(m_dir.filePath("Keys.ini"), QSettings::IniFormat);
        QSettings profile(m_store.ProfilePath(), QSettings::IniFormat);
        for (qsizetype i = 0; i < values.bytes.size(); ++i) {
            keys.setValue(LegacyKey(QString::number(i), "Data"), values.bytes[i]);
            profile.setValue(QStringLiteral("General/Bytes%1").arg(i), values.bytes[i]);
        }
        for (const QString& name : values.texts)
            keys.setValue(LegacyKey(name, name), name.toUtf8());
        keys.setValue(LegacyKey("Empty", "%K"), QByteArray());
        for (qsizetype i = 0; i < values.numbers.size(); ++i)
            profile.setValue(QStringLiteral("General/Int%1").arg(i), values.numbers[i]);
        ASSERT_EQ(keys.status(), QSettings::NoError);
        ASSERT_EQ(profile.status(), QSettings::NoError);
    }
    for (qsizetype i = 0; i < values.bytes.size(); ++i) {
        EXPECT_EQ(Query(m_keys, kPresets.Child(QString::number(i))), values.bytes[i]) << i;
        EXPECT_EQ(m_store.ReadBytes("General", QStringLiteral("Bytes%1").arg(i)), values.bytes[i]);
    }
    for (const QString& name : values.texts)
        EXPECT_EQ(Query(m_keys, kPresets.Child(name), name), name.toUtf8()) << name.toStdString();
    EXPECT_TRUE(m_keys.OpenKey(kPresets.Child("Empty")));
    EXPECT_EQ(SubKeys(m_keys, kPresets.Child("Empty")), QStringList());
    EXPECT_EQ(Query(m_keys, kPresets.Child("Empty"), "%K"), "(absent)") << "a marker, no value";
    for (qsizetype i = 0; i < values.numbers.size(); ++i)
        EXPECT_EQ(m_store.ReadInt("General", QStringLiteral("Int%1").arg(i), 7), values.numbers[i]);
    for (qsizetype at = 0; at < values.texts.size(); at += 4) {
        const QStringList some = values.texts.mid(at, 4);
        {
            QSettings profile(m_store.ProfilePath(), QSettings::IniFormat);
            profile.remove(QStringLiteral("Recent File List"));
            for (qsizetype i = 0; i < some.size(); ++i)
                profile.setValue(QStringLiteral("Recent File List/File%1").arg(i + 1), some[i]);
        }
        EXPECT_EQ(m_store.RecentFiles(), some);
    }

    CSettingsStore written(m_nextRun.path());
    for (qsizetype i = 0; i < values.bytes.size(); ++i) {
        ASSERT_TRUE(
            written.Keys().SetValue(kPresets.Child(QString::number(i)), "Data", values.bytes[i]));
        ASSERT_TRUE(
            written.WriteBytes("General", QStringLiteral("Bytes%1").arg(i), values.bytes[i]));
    }
    for (const QString& name : values.texts)
        ASSERT_TRUE(written.Keys().SetValue(kPresets.Child(name), name, name.toUtf8()));
    ASSERT_TRUE(written.Keys().CreateKey(kPresets.Child("Empty")));
    for (qsizetype i = 0; i < values.numbers.size(); ++i)
        ASSERT_TRUE(written.WriteInt("General", QStringLiteral("Int%1").arg(i), values.numbers[i]));
    QSettings keys(m_nextRun.filePath("Keys.ini"), QSettings::IniFormat);
    QSettings profile(written.ProfilePath(), QSettings::IniFormat);
    for (qsizetype i = 0; i < values.bytes.size(); ++i) {
        EXPECT_EQ(keys.value(LegacyKey(QString::number(i), "Data")).toByteArray(), values.bytes[i]);
        EXPECT_EQ(profile.value(QStringLiteral("General/Bytes%1").arg(i)).toByteArray(),
                  values.bytes[i]);
    }
    for (const QString& name : values.texts)
        EXPECT_EQ(keys.value(LegacyKey(name, name)).toByteArray(), name.toUtf8())
            << name.toStdString();
    keys.beginGroup(LegacyKey("Empty", QString()));
    EXPECT_FALSE(keys.childKeys().isEmpty()) << "an earlier version sees the empty key";
    keys.endGroup();
    for (qsizetype i = 0; i < values.numbers.size(); ++i) {
        EXPECT_EQ(profile.value(QStringLiteral("General/Int%1").arg(i)).toInt(), values.numbers[i]);
        EXPECT_EQ(written.ReadInt("General", QStringLiteral("Int%1").arg(i), 7), values.numbers[i]);
    }
    for (qsizetype i = 0; i < values.bytes.size(); ++i)
        EXPECT_EQ(written.ReadBytes("General", QStringLiteral("Bytes%1").arg(i)), values.bytes[i]);
    for (qsizetype at = 0; at < values.texts.size(); at += 4) {
        const QStringList some = values.texts.mid(at, 4);
        ASSERT_TRUE(written.SetRecentFiles(some));
        EXPECT_EQ(written.RecentFiles(), some);
        // A copy of its own: QSettings takes a file rewritten in the same millisecond at the
        // same size for the one it has read.
        const QString copy = m_dir.filePath(QStringLiteral("Recent%1.ini").arg(at));
        ASSERT_TRUE(QFile::copy(written.ProfilePath(), copy));
        const QSettings recent(copy, QSettings::IniFormat);
        for (qsizetype i = 0; i < some.size(); ++i)
            EXPECT_EQ(recent.value(QStringLiteral("Recent File List/File%1").arg(i + 1)).toString(),
                      some[i]);
    }
    EXPECT_EQ(keys.status(), QSettings::NoError);
    EXPECT_EQ(profile.status(), QSettings::NoError);
}

// ----- foreign values ------------------------------------------------------------------------

// A QRegion of 2^31 - 1 rectangles in QSettings' own form: QSettings builds it while it reads the
// file, rectangle by rectangle, for minutes.
const QByteArray kHostileValue = R"(@Variant(\0\0\0H\0\0\0\b\0\0\0\n\x7f\xff\xff\xff))";
// Far more than a read of a small file takes on the slowest machine.
constexpr auto kReadDeadline = std::chrono::seconds(20);

// Runs `work` on a thread of its own; false when it has not finished by the deadline (it is left
// running: it must own everything it touches).
bool FinishesInTime(std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([work = std::move(work), done] {
        work();
        done->set_value();
    }).detach();
    return finished.wait_for(kReadDeadline) == std::future_status::ready;
}

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
}

TEST_F(SettingsStoreTest, AForeignTypedValueIsNeverDecodedAndStaysAsItWas) {
    WriteText(m_store.ProfilePath(),
              "[%General]\nToolBarState=" + kHostileValue + "\nPropertiesX=42\n");
    WriteText(
        m_dir.filePath("Keys.ini"),
        "[SOFTWARE]\nWavelathe%20Pro\\Sample%20Rate%20Presets\\Hostile\\Data=" + kHostileValue +
            "\nWavelathe%20Pro\\Sample%20Rate%20Presets\\Hostile\\Bits=@ByteArray(\\b)\n");
    struct CRead {
        int x = 0;
        QByteArray toolBars, bits, data;
        QStringList presets;
    };
    const auto read = std::make_shared<CRead>();
    ASSERT_TRUE(FinishesInTime([folder = m_dir.path(), read] {
        CSettingsStore store(folder);
        read->x = store.ReadInt("General", "PropertiesX", 600);
        read->toolBars = store.ReadBytes("General", "ToolBarState", "(absent)");
        read->presets = SubKeys(store.Keys(), kPresets);
        read->bits = Query(store.Keys(), kPresets.Child("Hostile"), "Bits");
        read->data = Query(store.Keys(), kPresets.Child("Hostile"), "Data");
    })) << "a read that does not end within "
        << kReadDeadline.count() << " s";
    EXPECT_EQ(read->x, 42) << "the entry after the foreign one";
    EXPECT_EQ(read->toolBars, "(absent)");
    EXPECT_EQ(read->presets, QStringList{"Hostile"});
    EXPECT_EQ(read->bits, "\b");
    EXPECT_EQ(read->data, "(absent)");

    ASSERT_TRUE(m_store.WriteInt("General", "PropertiesY", 7));
    ASSERT_TRUE(m_keys.SetValue(kPresets.Child("Hostile"), "Bits", "\x10"));
    for (const QString& name : {m_store.ProfilePath(), m_dir.filePath("Keys.ini")}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains(kHostileValue)) << name.toStdString();
    }
    EXPECT_EQ(Restarted().ReadInt("General", "PropertiesY", 0), 7);
}

class KeyNameTest : public SettingsStoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(KeyNameTest, ComesBackUnchangedAsOneKey) {
    const QString name = QString::fromUtf8(GetParam());
    ASSERT_TRUE(m_keys.SetValue(kPresets.Child(name), "Data", name.toUtf8()));
    CKeyStore& keys = Restarted().Keys();
    EXPECT_EQ(SubKeys(keys, kPresets), QStringList{name});
    EXPECT_EQ(SubKeys(keys, kPresets.Child(name)), QStringList());
    EXPECT_EQ(Query(keys, kPresets.Child(name)), name.toUtf8());
}

INSTANTIATE_TEST_SUITE_P(UserText, KeyNameTest, ::testing::ValuesIn(kOddNames));

TEST_F(SettingsStoreTest, ProfileEntriesSurviveARestart) {
    QByteArray layout;
    for (int i = 0; i < 512; ++i)
        layout += char(i * 7);
    ASSERT_TRUE(m_store.WriteInt("General", "PropertiesX", -5));
    ASSERT_TRUE(m_store.WriteBytes("General", "ToolBars", layout));
    CSettingsStore& next = Restarted();
    EXPECT_EQ(next.ReadInt("General", "PropertiesX", 600), -5);
    EXPECT_EQ(next.ReadInt("General", "PropertiesY", 400), 400);
    EXPECT_EQ(next.ReadInt("General", "ToolBars", 7), 7) << "not a number";
    EXPECT_EQ(next.ReadBytes("General", "ToolBars"), layout);
    EXPECT_EQ(next.ReadBytes("General", "Missing", "dflt"), "dflt");
}

TEST_F(SettingsStoreTest, RecentFilesKeepTheFourNewestDistinctPaths) {
    const struct {
        QStringList set, expected;
    } cases[] = {
        {{"/a", "/b", "/c", "/d", "/e", "/f"}, {"/a", "/b", "/c", "/d"}},
        {{"/x", "", "/y", "/x"}, {"/x", "/y"}},
        {{"/tmp/Grüße.wav", "/z = %.wav"}, {"/tmp/Grüße.wav", "/z = %.wav"}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_store.SetRecentFiles(c.set));
        EXPECT_EQ(m_store.RecentFiles(), c.expected);
        EXPECT_FALSE(QSettings(m_store.ProfilePath(), QSettings::IniFormat)
                         .contains("Recent File List/File5"));
    }
    EXPECT_EQ(Restarted().RecentFiles(), cases[2].expected);
}

TEST_F(SettingsStoreTest, WritesFailWhenTheFolderCannotBeMadeAndRepairADamagedFile) {
    QFile file(m_dir.filePath("Keys.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("[SOFTWARE\n\x01garbage\n") > 0);
    file.close();
    CSettingsStore nowhere(file.fileName() + "/Wavelathe Pro");
    EXPECT_FALSE(nowhere.Keys().SetValue(kPresets, "Data", "x"));
    EXPECT_FALSE(nowhere.WriteInt("General", "PropertiesX", 1));
    EXPECT_TRUE(m_keys.CreateKey(kPresets));
    EXPECT_TRUE(Restarted().Keys().OpenKey(kPresets));
}

TEST_F(SettingsStoreTest, AFileTooLargeToBeSettingsIsNeitherReadNorWrittenOver) {
    for (const QString& name : {QStringLiteral("Keys.ini"), QStringLiteral("WLPRO.ini")}) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("[SOFTWARE]\nA\\B=1\n") > 0 &&
                    file.resize((qint64(64) << 20) + 1));
    }
    EXPECT_FALSE(m_keys.OpenKey("SOFTWARE\\A"));
    EXPECT_FALSE(m_keys.CreateKey(kPresets));
    EXPECT_FALSE(m_keys.SetValue(kPresets, "Data", "x"));
    EXPECT_FALSE(m_keys.DeleteKey("SOFTWARE\\A"));
    EXPECT_EQ(m_store.ReadInt("General", "PropertiesX", 600), 600);
    EXPECT_FALSE(m_store.WriteInt("General", "PropertiesX", 1));
    EXPECT_FALSE(m_store.SetRecentFiles({"/a"}));
    for (const QString& name : {QStringLiteral("Keys.ini"), QStringLiteral("WLPRO.ini")})
        EXPECT_EQ(QFileInfo(m_dir.filePath(name)).size(), (qint64(64) << 20) + 1);
}

TEST_F(SettingsStoreTest, TheProcessWideStoreFollowsXdgConfigHomeOrTheInstalledStore) {
    EXPECT_EQ(CSettingsStore::Instance().Folder(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Wavelathe Pro");
    CSettingsStore::Install(&m_store);
    EXPECT_TRUE(CSettingsStore::Registry().CreateKey(kPresets) && m_keys.OpenKey(kPresets));
    CSettingsStore::Install(nullptr);
}

} // namespace
