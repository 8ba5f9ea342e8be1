// The four bits choices as the user meets them: a preset saved with any of them in Sample Presets
// keeps it ("Bits" 8, 16, 24, or 32 for float) and brings it back in every dialog that offers the
// presets; the properties window's Format page shows a sample's bits and reinterprets the sample
// in the bits clicked; the status pane and the memory lines follow.

#include "capturereporter.h"
#include "samplemaker.h"

#include "ui/convertdlg.h"
#include "ui/formatpresetstore.h"
#include "ui/pptysample.h"
#include "ui/recordoptionsdlg.h"
#include "ui/samplepresetsdlg.h"
#include "ui/sampleproperties.h"
#include "ui/spinedit.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"
#include "platform/settingsstore.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// Readable QString values in failure messages.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr SampleDepth kDepths[] = {SampleDepth::Int8, SampleDepth::Int16, SampleDepth::Int24,
                                   SampleDepth::Float32};
// Divides into whole frames at every depth, mono and stereo.
constexpr quint32 kBytes = 4800;
// Enumerated before the presets a first start offers, so a lookup finds it first.
const QString kName = QStringLiteral("A Studio");

struct DepthCase {
    const char* name;
    SampleDepth depth;
    int storedBits;
    const char* status;
    const char* stereo44100; // the Memory line of 44100 Hz stereo
    const char* mono22050;
};

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Exactly `depth` of the four is checked.
::testing::AssertionResult Shows(const CBitsChoice& bits, SampleDepth depth) {
    for (SampleDepth each : kDepths)
        if (bits.Button(each)->isChecked() != (each == depth))
            return ::testing::AssertionFailure()
                   << bits.Button(each)->text().toStdString() << " is "
                   << (bits.Button(each)->isChecked() ? "checked" : "not checked");
    return ::testing::AssertionSuccess();
}

class FormatDepths : public ::testing::TestWithParam<DepthCase> {
protected:
    // A view on an 8-bit mono sample of kBytes bytes at 22050 Hz, and a properties window on it.
    void ShowSample() {
        m_doc = std::make_unique<CWlproDoc>(QStringLiteral("Wlpro1"));
        FillSample(m_doc->Buffer(), SampleLayout::Mono8, 22050,
                   RandomValues(SampleLayout::Mono8, kBytes, 7));
        m_doc->SampleEdited(0);
        m_view = std::make_unique<CWlproView>(m_doc.get());
        m_view->resize(600, 300);
        m_sheet = std::make_unique<CSampleProperties>(nullptr, &m_keys);
        m_sheet->SetView(m_view.get());
    }
    CPptySample* Page() { return m_sheet->FormatPage(); }
    const CSampleBuffer& Buffer() { return m_doc->Buffer(); }

    QTemporaryDir m_dir;
    CSettingsStore m_settings{m_dir.path()};
    CKeyStore& m_keys = m_settings.Keys();
    CCaptureReporter m_reporter;
    std::unique_ptr<CWlproDoc> m_doc;
    std::unique_ptr<CWlproView> m_view;
    std::unique_ptr<CSampleProperties> m_sheet;
};

TEST_P(FormatDepths, APresetSavedWithTheBitsBringsThemBackInEveryDialog) {
    const DepthCase& c = GetParam();
    {
        CSamplePresetsDlg dialog(nullptr, &m_keys);
        Type(dialog.NameCombo()->lineEdit(), kName);
        Type(dialog.FrequencyEdit()->findChild<QLineEdit*>(), "44100 Hz");
        dialog.Stereo()->click();
        dialog.Bits().Button(c.depth)->click();
        EXPECT_EQ(dialog.MemoryLabel()->text(), c.stereo44100);
        dialog.SaveButton()->click();
    }
    FormatPresetStore store(&m_keys);
    ASSERT_TRUE(store.Load(kName));
    EXPECT_EQ(store.Bits, c.storedBits);

    CSamplePresetsDlg presets(nullptr, &m_keys);
    emit presets.NameCombo()->textActivated(kName);
    EXPECT_TRUE(Shows(presets.Bits(), c.depth)) << "Sample Presets";
    EXPECT_EQ(presets.MemoryLabel()->text(), c.stereo44100);

    CRecordOptionsDlg record(nullptr, &m_keys);
    emit record.Quality().Combo()->textActivated(kName);
    EXPECT_TRUE(Shows(record.Bits(), c.depth)) << "Recording Options";
    EXPECT_EQ(record.Depth(), c.depth);
    EXPECT_EQ(record.Bytes(), 44100u * 2 * DepthBytes(c.depth)) << "one second";
    EXPECT_EQ(record.Quality().Text(), kName) << "the format finds its preset again";

    CConvertSampleDlg convert(nullptr, &m_keys);
    convert.SetSource(11025, SampleDepth::Int8, false);
    emit convert.Quality().Combo()->textActivated(kName);
    EXPECT_TRUE(Shows(convert.Bits(), c.depth)) << "Convert Sample";
    EXPECT_EQ(convert.Target().depth, c.depth);
    EXPECT_TRUE(convert.Target().stereo);
    EXPECT_EQ(convert.Quality().Text(), kName);

    // On the Format page the preset reinterprets the sample at once.
    ShowSample();
    const int steps = m_doc->Editor().History().UndoCount();
    emit Page()->Quality()->Combo()->textActivated(kName);
    EXPECT_EQ(Buffer().GetLayout(), MakeLayout(true, c.depth));
    EXPECT_EQ(Buffer().GetRate(), 44100u);
    EXPECT_EQ(Buffer().GetFrameCount(), kBytes / 2 / DepthBytes(c.depth));
    EXPECT_EQ(m_doc->Editor().History().UndoCount(), steps + 1);
    EXPECT_TRUE(Shows(Page()->Bits(), c.depth)) << "Format page";
    EXPECT_EQ(Page()->MemoryLabel()->text(), c.stereo44100);
    EXPECT_EQ(m_view->StatusTexts().value(1), c.status);
}

TEST_P(FormatDepths, TheFormatPageReinterpretsTheSampleInTheBitsClickedAndUndoBringsItBack) {
    const DepthCase& c = GetParam();
    ShowSample();
    const CSampleState before = CSampleState::Of(Buffer());
    EXPECT_TRUE(Shows(Page()->Bits(), SampleDepth::Int8));
    EXPECT_EQ(m_view->StatusTexts().value(1), "8 Bit");

    Page()->Bits().Button(c.depth)->click();
    EXPECT_EQ(Buffer().GetDepth(), c.depth);
    EXPECT_EQ(Buffer().GetBits(), DepthBits(c.depth));
    EXPECT_EQ(Buffer().GetFrameCount(), kBytes / DepthBytes(c.depth));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Buffer().GetData()), int(kBytes)),
              before.bytes)
        << "the bytes stay as they were";
    EXPECT_EQ(m_view->StatusTexts().value(1), c.status);
    EXPECT_EQ(Page()->MemoryLabel()->text(), c.mono22050);
    EXPECT_TRUE(Shows(Page()->Bits(), c.depth));

    ASSERT_EQ(m_doc->Undo(), int(c.depth != SampleDepth::Int8));
    EXPECT_EQ(CSampleState::Of(Buffer()), before);
    EXPECT_TRUE(Shows(Page()->Bits(), SampleDepth::Int8)) << "the page follows the undo";
    EXPECT_EQ(m_view->StatusTexts().value(1), "8 Bit");
}

INSTANTIATE_TEST_SUITE_P(
    Bits, FormatDepths,
    ::testing::Values(
        DepthCase{"Eight", SampleDepth::Int8, 8, "8 Bit", "86 Kb/sec", "21 Kb/sec"},
        DepthCase{"Sixteen", SampleDepth::Int16, 16, "16 Bit", "172 Kb/sec", "43 Kb/sec"},
        DepthCase{"TwentyFour", SampleDepth::Int24, 24, "24 Bit", "258 Kb/sec", "64 Kb/sec"},
        DepthCase{"Float", SampleDepth::Float32, 32, "32 Bit Float", "344 Kb/sec", "86 Kb/sec"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BitsChoice, TheFourChoicesReadAsTheUserSeesThem) {
    QWidget owner;
    CBitsChoice bits(&owner);
    QStringList texts;
    for (QRadioButton* button : bits.Buttons())
        texts << button->text().remove(QLatin1Char('&'));
    EXPECT_EQ(texts, QStringList({"8-bit", "16-bit", "24-bit", "32-bit float"}));
    for (SampleDepth depth : kDepths) {
        bits.SetDepth(depth);
        EXPECT_EQ(bits.Depth(), depth);
        EXPECT_TRUE(Shows(bits, depth));
    }
    bits.Clear();
    for (QRadioButton* button : bits.Buttons())
        EXPECT_FALSE(button->isChecked()) << "no sample, no choice";
}

} // namespace
