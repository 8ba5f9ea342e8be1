// The settings store: the key tree and the profile. "Restarted" stores read a copy of the folder,
// so what they see is what reached the disk.

#include "platform/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const CKeyPath kPresets = "SOFTWARE\\Wavelathe Pro\\Sample Rate Presets";

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

class KeyNameTest : public SettingsStoreTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(KeyNameTest, ComesBackUnchangedAsOneKey) {
    const QString name = QString::fromUtf8(GetParam());
    ASSERT_TRUE(m_keys.SetValue(kPresets.Child(name), "Data", name.toUtf8()));
    CKeyStore& keys = Restarted().Keys();
    EXPECT_EQ(SubKeys(keys, kPresets), QStringList{name});
    EXPECT_EQ(SubKeys(keys, kPresets.Child(name)), QStringList());
    EXPECT_EQ(Query(keys, kPresets.Child(name)), name.toUtf8());
}

INSTANTIATE_TEST_SUITE_P(UserText, KeyNameTest,
                         ::testing::Values("a/b", "a\\b", "/lead", "trail\\", "50%", "%2F", "%25",
                                           "%K", "x=y;z", "[General]", "General", " spaced ",
                                           "Grüße ♪ 日本 🎵", "@ByteArray(x)",
                                           "A preset name well over forty-nine characters long"));

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

TEST_F(SettingsStoreTest, TheProcessWideStoreFollowsXdgConfigHomeOrTheInstalledStore) {
    EXPECT_EQ(CSettingsStore::Instance().Folder(),
              qEnvironmentVariable("XDG_CONFIG_HOME") + "/Wavelathe Pro");
    CSettingsStore::Install(&m_store);
    EXPECT_TRUE(CSettingsStore::Registry().CreateKey(kPresets) && m_keys.OpenKey(kPresets));
    CSettingsStore::Install(nullptr);
}

} // namespace
