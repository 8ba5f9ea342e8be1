// Format presets: the store in the key tree, the "Sample Presets" dialog and the Quality list the
// format dialogs share. Every test has a settings folder of its own.

#include "ui/samplepresetsdlg.h"
#include "ui/spinedit.h"

#include "platform/settingsstore.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

// Readable QString values in failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const CKeyPath kPresets = "SOFTWARE\\Wavelathe Pro\\Sample Rate Presets";
const QStringList kFirstNames = {"CD Quality", "Radio Quality", "Telephone Quality"};

class FormatPresets : public ::testing::Test {
protected:
    QStringList Names(FormatPresetStore& store) {
        QStringList names;
        for (auto name = store.FirstName(); name; name = store.NextName())
            names.append(*name);
        return names;
    }
    static QStringList Items(const QComboBox* combo) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        return items;
    }
    std::tuple<int, int, int> Loaded(const QString& name) {
        FormatPresetStore store(&m_keys);
        if (!store.Load(name))
            return {0, 0, 0};
        return {store.Frequency, store.Channels, store.Bits};
    }
    // The settings as the next run of the program finds them on disk.
    CKeyStore& Restarted() {
        m_restarted = std::make_unique<CSettingsStore>(m_dir.path());
        return m_restarted->Keys();
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    QTemporaryDir m_dir;
    CSettingsStore m_settings{m_dir.path()};
    CKeyStore& m_keys = m_settings.Keys();
    std::unique_ptr<CSettingsStore> m_restarted;
};

TEST_F(FormatPresets, AFirstStartOffersThreePresetsOnceAndDeletedOnesStayDeleted) {
    FormatPresetStore store(&m_keys);
    EXPECT_EQ(Names(store), kFirstNames);
    EXPECT_EQ(Loaded("CD Quality"), std::make_tuple(44100, 2, 16));
    EXPECT_EQ(Loaded("Radio Quality"), std::make_tuple(22050, 1, 16));
    EXPECT_EQ(Loaded("Telephone Quality"), std::make_tuple(8000, 1, 8));

    ASSERT_TRUE(store.Delete("Radio Quality"));
    FormatPresetStore next(&Restarted());
    EXPECT_EQ(Names(next), QStringList({"CD Quality", "Telephone Quality"}));
    for (const QString& name : kFirstNames)
        ASSERT_TRUE(next.Delete(name) || name == "Radio Quality");
    FormatPresetStore third(&Restarted());
    EXPECT_EQ(Names(third), QStringList()) << "an emptied list stays empty";
}

TEST_F(FormatPresets, ValuesAreFourByteLittleEndianAndEnumerationFollowsTheKeyOrder) {
    FormatPresetStore store(&m_keys);
    store.Frequency = 44100;
    store.Channels = 2;
    store.Bits = 16;
    for (const char* name : {"b", "A", "a"})
        ASSERT_TRUE(store.Save(name));
    char bytes[8] = {};
    quint32 read = 0;
    ASSERT_TRUE(m_keys.QueryValue(kPresets.Child("b"), "Frequency", bytes, sizeof bytes, &read));
    EXPECT_EQ(QByteArray(bytes, int(read)), QByteArray("\x44\xAC\x00\x00", 4));

    EXPECT_EQ(Names(store),
              QStringList({"A", "CD Quality", "Radio Quality", "Telephone Quality", "a", "b"}));
    EXPECT_EQ(store.Name, "b");
    EXPECT_FALSE(store.NextName()) << "nothing past the last name";
    EXPECT_EQ(store.FirstName(), "A") << "the first name starts again";
}

TEST_F(FormatPresets, APresetWithAMissingOrMisshapenValueDoesNotLoad) {
    const std::pair<const char*, QByteArray> broken[] = {
        {"Frequency", {}}, {"Channels", {}}, {"Bits", {}}, {"Bits", QByteArray("\x10\x00", 2)}};
    for (const auto& [value, bytes] : broken) {
        const CKeyPath key = kPresets.Child("Broken");
        m_keys.DeleteKey(key);
        for (const char* name : {"Frequency", "Channels", "Bits"}) {
            const bool wrong = QLatin1String(name) == QLatin1String(value);
            if (!wrong || !bytes.isEmpty()) {
                ASSERT_TRUE(
                    m_keys.SetValue(key, name, wrong ? bytes : QByteArray("\x01\x00\x00\x00", 4)));
            }
        }
        FormatPresetStore store(&m_keys);
        EXPECT_FALSE(store.Load("Broken")) << value;
        EXPECT_EQ(std::make_tuple(store.Frequency, store.Channels, store.Bits),
                  std::make_tuple(22050, 1, 8))
            << "fields unchanged";
    }
    FormatPresetStore store(&m_keys);
    EXPECT_FALSE(store.Load("Absent"));
    EXPECT_FALSE(store.Save("")) << "no preset without a name";
    EXPECT_FALSE(store.Delete("Absent"));
}

TEST_F(FormatPresets, AnyNameIsStoredWholeAndComesBackUnchanged) {
    const QStringList odd = {
        "Back\\slash",         "Slash/ed", "a\\b/c", "\\", "/", "100% \"quoted\"",
        "Sch\u00F6n = 48 kHz", "[Section]"};
    FormatPresetStore store(&m_keys);
    for (int i = 0; i < odd.size(); ++i) {
        store.Frequency = 8000 + i;
        ASSERT_TRUE(store.Save(odd[i])) << odd[i].toStdString();
    }
    FormatPresetStore next(&Restarted());
    QStringList expected = kFirstNames + odd;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(next), expected) << "no name split into nested keys";
    for (int i = 0; i < odd.size(); ++i) {
        ASSERT_TRUE(next.Load(odd[i])) << odd[i].toStdString();
        EXPECT_EQ(next.Frequency, 8000 + i);
        EXPECT_EQ(next.Name, odd[i]);
    }
    for (const QString& name : odd)
        EXPECT_TRUE(next.Delete(name)) << name.toStdString();
    EXPECT_EQ(Names(next), kFirstNames);
}

// A preset written by hand into Keys.ini: its section as the hand wrote it, and the name the
// list shows for it.
struct HandWritten {
    const char* section;
    const char* name;
};

class HandWrittenPreset : public FormatPresets,
                          public ::testing::WithParamInterface<HandWritten> {};

TEST_P(HandWrittenPreset, IsListedLoadedAndDeletedByTheNameListed) {
    {
        QFile file(m_dir.filePath("Keys.ini"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("; by hand\n[SOFTWARE\\Wavelathe Pro\\Sample Rate Presets\\") +
                   GetParam().section +
                   "]\nFrequency=@ByteArray(\\x11+\\0\\0)\nChannels=@ByteArray(\\x1\\0\\0\\0)\n"
                   "Bits=@ByteArray(\\b\\0\\0\\0)\n");
    }
    const QString name = QString::fromUtf8(GetParam().name);
    FormatPresetStore store(&m_keys);
    ASSERT_EQ(Names(store), QStringList{name});
    EXPECT_EQ(Loaded(name), std::make_tuple(11025, 1, 8));
    EXPECT_TRUE(store.Delete(name));
    EXPECT_EQ(Names(store), QStringList());
    FormatPresetStore next(&Restarted());
    EXPECT_EQ(Names(next), QStringList()) << "deleted on disk too";
}

INSTANTIATE_TEST_SUITE_P(OddNames, HandWrittenPreset,
                         ::testing::Values(HandWritten{"%", "%"}, HandWritten{"50%", "50%"},
                                           HandWritten{"%25", "%"}, HandWritten{"%2525", "%"},
                                           HandWritten{"a\\\\b", "a\\b"}, HandWritten{"a/b", "a/b"},
                                           HandWritten{"two words", "two words"},
                                           HandWritten{"%20lead", " lead"}, HandWritten{"=", "="},
                                           HandWritten{";", ";"}, HandWritten{"a;b=c", "a;b=c"},
                                           HandWritten{"[x]", "[x]"},
                                           HandWritten{"Gr\xC3\xBC\xC3\x9F"
                                                       "e",
                                                       "Grüße"}),
                         [](const ::testing::TestParamInfo<HandWritten>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST_F(FormatPresets, FindNameGivesTheFirstPresetOfExactlyThatFormat) {
    FormatPresetStore store(&m_keys);
    store.Frequency = 44100;
    store.Channels = 2;
    store.Bits = 16;
    ASSERT_TRUE(store.Save("Audio CD")) << "enumerated before \"CD Quality\"";
    const std::tuple<int, int, int, std::optional<QString>> cases[] = {
        {44100, 2, 16, "Audio CD"},        {22050, 1, 16, "Radio Quality"},
        {8000, 1, 8, "Telephone Quality"}, {8000, 1, 16, std::nullopt},
        {44100, 1, 16, std::nullopt},      {11025, 1, 8, std::nullopt}};
    for (const auto& [frequency, channels, bits, name] : cases)
        EXPECT_EQ(store.FindName(frequency, channels, bits), name) << frequency << channels << bits;
    store.FindName(8000, 1, 16);
    EXPECT_EQ(std::make_tuple(store.Frequency, store.Channels, store.Bits),
              std::make_tuple(8000, 1, 8))
        << "the values last read stay";
}

TEST(SamplePresetsMemory, ReadsTheBytesOfOneSecondInWholeKilobytes) {
    const std::tuple<int, SampleDepth, bool, const char*> cases[] = {
        {44100, SampleDepth::Int16, true, "172 Kb/sec"},
        {22050, SampleDepth::Int8, false, "21 Kb/sec"},
        {8000, SampleDepth::Int8, true, "15 Kb/sec"},
        {11025, SampleDepth::Int16, false, "21 Kb/sec"},
        {48000, SampleDepth::Int16, true, "187 Kb/sec"},
        {1023, SampleDepth::Int8, false, "0 Kb/sec"},
        {44100, SampleDepth::Int24, true, "258 Kb/sec"},
        {96000, SampleDepth::Int24, false, "281 Kb/sec"},
        {44100, SampleDepth::Float32, true, "344 Kb/sec"},
        {48000, SampleDepth::Float32, false, "187 Kb/sec"}};
    for (const auto& [frequency, depth, stereo, text] : cases)
        EXPECT_EQ(CSamplePresetsDlg::MemoryText(frequency, depth, stereo), text) << frequency;
}

TEST(FormatChoice, FrequencyTextsReadTheirLeadingWholeNumber) {
    const std::pair<const char*, int> cases[] = {
        {"44100 Hz", 44100}, {" 8000", 8000}, {"-5 Hz", -5},
        {"Hz", 0},           {"", 0},         {"9999999999", 2147483647}};
    for (const auto& [text, hertz] : cases)
        EXPECT_EQ(CFormatChoice::FrequencyOf(text), hertz) << text;
}

TEST_F(FormatPresets, TheDialogOpensOnTheDefaultsWithTheNamesSorted) {
    FormatPresetStore store(&m_keys);
    for (const char* name : {"zeta", "Alpha", "beta"})
        ASSERT_TRUE(store.Save(name));
    CSamplePresetsDlg dialog(nullptr, &m_keys);
    EXPECT_EQ(dialog.windowTitle(), "Sample Presets");
    EXPECT_EQ(
        Items(dialog.NameCombo()),
        QStringList({"Alpha", "beta", "CD Quality", "Radio Quality", "Telephone Quality", "zeta"}));
    EXPECT_EQ(dialog.Name(), "");
    EXPECT_EQ(dialog.FrequencyEdit()->Text(), "22050 Hz");
    EXPECT_TRUE(dialog.Bits8()->isChecked() && dialog.Mono()->isChecked());
    EXPECT_EQ(dialog.MemoryLabel()->text(), "21 Kb/sec");
}

TEST_F(FormatPresets, TheSpinCoversFourThousandToFortyEightThousandHertz) {
    CSamplePresetsDlg dialog(nullptr, &m_keys);
    CSpinEdit* spin = dialog.FrequencyEdit();
    EXPECT_EQ(spin->Minimum(), 4000);
    EXPECT_EQ(spin->Maximum(), 48000);
    const std::tuple<const char*, int, const char*> cases[] = {
        {"47999 Hz", 1, "48000 Hz"}, {"48000 Hz", 1, "48000 Hz"}, {"4001 Hz", -1, "4000 Hz"},
        {"4000 Hz", -1, "4000 Hz"},  {"60000", -1, "47999 Hz"},   {"100", 1, "4001 Hz"}};
    for (const auto& [typed, steps, shown] : cases) {
        dialog.SetFormat({typed, SampleDepth::Int8, false});
        spin->stepBy(steps);
        EXPECT_EQ(spin->Text(), shown) << typed;
    }
    Type(spin->findChild<QLineEdit*>(), "50000 Hz");
    EXPECT_EQ(dialog.MemoryLabel()->text(), "48 Kb/sec") << "typed text is kept, out of range too";
    EXPECT_EQ(spin->Text(), "50000 Hz");
}

TEST_F(FormatPresets, SaveStoresTheFormatAsShownUnderTheNameTypedAndDeleteRemovesIt) {
    CSamplePresetsDlg dialog(nullptr, &m_keys);
    Type(dialog.NameCombo()->lineEdit(), "Studio");
    Type(dialog.FrequencyEdit()->findChild<QLineEdit*>(), "44100 Hz");
    dialog.Bits16()->click();
    dialog.Stereo()->click();
    EXPECT_EQ(dialog.MemoryLabel()->text(), "172 Kb/sec");
    dialog.SaveButton()->click();
    EXPECT_EQ(Loaded("Studio"), std::make_tuple(44100, 2, 16));
    EXPECT_TRUE(Items(dialog.NameCombo()).contains("Studio"));
    EXPECT_EQ(dialog.Name(), "Studio");

    Type(dialog.NameCombo()->lineEdit(), "");
    dialog.SaveButton()->click();
    EXPECT_EQ(dialog.NameCombo()->count(), 4) << "an empty name saves nothing";

    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    dialog.NameCombo()->setFocus();
    Type(dialog.NameCombo()->lineEdit(), "CD");
    EXPECT_EQ(dialog.Name(), "CD") << "a prefix of a stored name stays as typed";
    for (int deleted = 0; deleted < 2; ++deleted) {
        Type(dialog.NameCombo()->lineEdit(), "Radio Quality");
        dialog.DeleteButton()->click();
        EXPECT_EQ(Items(dialog.NameCombo()),
                  QStringList({"CD Quality", "Studio", "Telephone Quality"}));
    }
}

TEST_F(FormatPresets, ANameChosenOrTypedShowsItsPresetAndAnUnknownOneChangesNothing) {
    CSamplePresetsDlg dialog(nullptr, &m_keys);
    QComboBox* names = dialog.NameCombo();
    names->setCurrentIndex(names->findText("CD Quality"));
    emit names->textActivated("CD Quality");
    EXPECT_EQ(dialog.FrequencyEdit()->Text(), "44100 Hz");
    EXPECT_TRUE(dialog.Bits16()->isChecked() && dialog.Stereo()->isChecked());
    EXPECT_EQ(dialog.MemoryLabel()->text(), "172 Kb/sec");

    Type(names->lineEdit(), "Telephone Quality");
    EXPECT_EQ(dialog.FrequencyEdit()->Text(), "8000 Hz");
    EXPECT_TRUE(dialog.Bits8()->isChecked() && dialog.Mono()->isChecked());
    Type(names->lineEdit(), "Nothing stored");
    EXPECT_EQ(dialog.FrequencyEdit()->Text(), "8000 Hz");
}

TEST_F(FormatPresets, TheQualityTextIsTheFirstPresetOfTheFormatOrEmpty) {
    QWidget owner;
    CQualityList quality(&owner, &m_keys);
    EXPECT_EQ(Items(quality.Combo()), kFirstNames);
    EXPECT_EQ(quality.PresetsButton()->text(), "&Presets...");
    const std::tuple<int, bool, SampleDepth, const char*> cases[] = {
        {44100, true, SampleDepth::Int16, "CD Quality"},
        {22050, false, SampleDepth::Int16, "Radio Quality"},
        {8000, false, SampleDepth::Int8, "Telephone Quality"},
        {8000, true, SampleDepth::Int8, ""},
        {44100, true, SampleDepth::Int24, ""},
        {44100, true, SampleDepth::Float32, ""}};
    for (const auto& [frequency, stereo, depth, name] : cases) {
        quality.Lookup(frequency, stereo, depth);
        EXPECT_EQ(quality.Text(), name) << frequency << stereo << int(depth);
    }

    const QString longName = "A name of fifty characters / with \\ in it as typed";
    ASSERT_EQ(longName.size(), 50);
    quality.Store().Frequency = 96000;
    quality.Store().Channels = 1;
    quality.Store().Bits = 8;
    ASSERT_TRUE(quality.Store().Save(longName));
    quality.Lookup(96000, false, SampleDepth::Int8);
    EXPECT_EQ(quality.Text(), longName) << "shown whole";
}

TEST_F(FormatPresets, AQualityChosenFromTheListOrTypedIsAppliedByItsOwner) {
    QWidget owner;
    CQualityList quality(&owner, &m_keys);
    QSignalSpy chosen(&quality, &CQualityList::presetChosen);
    emit quality.Combo()->textActivated("Radio Quality");
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.takeFirst(), QVariantList({22050, 1, 16}));

    Type(quality.Combo()->lineEdit(), "CD Quality");
    emit quality.Combo()->lineEdit()->editingFinished();
    ASSERT_EQ(chosen.size(), 1) << "leaving the combo after typing a stored name";
    EXPECT_EQ(chosen.takeFirst(), QVariantList({44100, 2, 16}));
    emit quality.Combo()->lineEdit()->editingFinished();
    EXPECT_TRUE(chosen.isEmpty()) << "leaving without typing chooses nothing";
    Type(quality.Combo()->lineEdit(), "Unknown");
    emit quality.Combo()->lineEdit()->editingFinished();
    EXPECT_TRUE(chosen.isEmpty());
}

TEST_F(FormatPresets, ThePresetsDialogStartsOnTheOwnersChoiceAndItsFinalNameIsApplied) {
    QWidget owner;
    CQualityList quality(&owner, &m_keys);
    quality.SetText("Telephone Quality");
    quality.SetDialogFormat([] { return CFormatChoice{"11025 Hz", SampleDepth::Int16, false}; });
    QSignalSpy chosen(&quality, &CQualityList::presetChosen);
    quality.RunPresets([&](CSamplePresetsDlg& dialog) {
        EXPECT_EQ(dialog.Name(), "Telephone Quality");
        EXPECT_EQ(dialog.FrequencyEdit()->Text(), "11025 Hz");
        EXPECT_TRUE(dialog.Bits16()->isChecked() && dialog.Mono()->isChecked());
        Type(dialog.NameCombo()->lineEdit(), "Speech");
        dialog.SaveButton()->click();
    });
    EXPECT_EQ(Items(quality.Combo()),
              QStringList({"CD Quality", "Radio Quality", "Speech", "Telephone Quality"}));
    EXPECT_EQ(quality.Combo()->currentIndex(), 2);
    EXPECT_EQ(quality.Text(), "Speech");
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.takeFirst(), QVariantList({11025, 1, 16}));

    quality.RunPresets([&](CSamplePresetsDlg& dialog) {
        Type(dialog.NameCombo()->lineEdit(), "Speech");
        dialog.DeleteButton()->click();
    });
    EXPECT_EQ(Items(quality.Combo()), kFirstNames);
    EXPECT_EQ(quality.Combo()->currentIndex(), -1) << "a name not stored selects nothing";
    EXPECT_EQ(quality.Text(), "");
    EXPECT_TRUE(chosen.isEmpty());
}

} // namespace
