// The Convert Sample and Adjust Volume dialogs, and the commands that run them on a view: what
// the user sees in them, and what OK and Cancel do to the sample and its undo history.

#include "ui/adjustvolumedlg.h"
#include "ui/convertdlg.h"
#include "ui/samplecommands.h"
#include "ui/spinedit.h"
#include "ui/wavewnd.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"
#include "platform/settingsstore.h"

#include "capturereporter.h"
#include "samplemaker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

void Type(CSpinEdit* edit, const QString& text) {
    QLineEdit* line = edit->findChild<QLineEdit*>();
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    QTest::keyClicks(line, text);
}

// A document of the given sample, shown in a view whose first strip selects first..last (or
// whose second strip alone does, for `rightOnly`).
class SampleCommands : public ::testing::Test {
protected:
    CWlproView& Show(SampleLayout layout, quint32 rate, const Values& values) {
        m_view.reset();
        m_doc = std::make_unique<CWlproDoc>(QStringLiteral("Wlpro1"));
        FillSample(m_doc->Buffer(), layout, rate, values);
        m_doc->SampleEdited(0);
        m_doc->SetModified(false);
        m_view = std::make_unique<CWlproView>(m_doc.get());
        m_view->resize(600, 300);
        return *m_view;
    }
    CSampleBuffer& Buffer() { return m_doc->Buffer(); }

    CCaptureReporter m_reporter;
    std::unique_ptr<CWlproDoc> m_doc;
    std::unique_ptr<CWlproView> m_view;
};

TEST(ConvertSampleDlg, ShowsTheSourceFormatAndStartsAtIt) {
    const std::tuple<quint32, SampleDepth, bool, const char*> cases[] = {
        {22050, SampleDepth::Int8, false, "22050 Hz, 8 bit Mono"},
        {44100, SampleDepth::Int16, true, "44100 Hz, 16 bit Stereo"},
        {11025, SampleDepth::Int16, false, "11025 Hz, 16 bit Mono"},
        {8000, SampleDepth::Int8, true, "8000 Hz, 8 bit Stereo"},
        {96000, SampleDepth::Int24, true, "96000 Hz, 24 bit Stereo"},
        {48000, SampleDepth::Float32, false, "48000 Hz, 32 bit float Mono"}};
    for (const auto& [rate, depth, stereo, text] : cases) {
        CConvertSampleDlg dialog;
        dialog.SetSource(rate, depth, stereo);
        EXPECT_EQ(dialog.windowTitle(), "Convert Sample");
        EXPECT_EQ(dialog.SourceLabel()->text(), text);
        EXPECT_EQ(dialog.FrequencyEdit()->Text(), QStringLiteral("%1 Hz").arg(rate));
        for (const SampleDepth shown :
             {SampleDepth::Int8, SampleDepth::Int16, SampleDepth::Int24, SampleDepth::Float32})
            EXPECT_EQ(dialog.Bits().Button(shown)->isChecked(), shown == depth) << text;
        EXPECT_EQ(dialog.Stereo()->isChecked(), stereo) << text;
        EXPECT_EQ(dialog.Mono()->isChecked(), !stereo) << text;
        EXPECT_EQ(dialog.FrequencyEdit()->Minimum(), 4000);
        EXPECT_EQ(dialog.FrequencyEdit()->Maximum(), 48000);
    }
}

TEST(ConvertSampleDlg, TheQualityFollowsTheFormatAndAChosenQualitySetsIt) {
    CConvertSampleDlg dialog;
    dialog.SetSource(8000, SampleDepth::Int8, false);
    EXPECT_EQ(dialog.Quality().Text(), "Telephone Quality") << "looked up on opening";
    dialog.Bits16()->click();
    EXPECT_EQ(dialog.Quality().Text(), "");
    Type(dialog.FrequencyEdit(), "44100 Hz");
    dialog.Stereo()->click();
    EXPECT_EQ(dialog.Quality().Text(), "CD Quality");
    dialog.FrequencyEdit()->stepBy(-1);
    EXPECT_EQ(dialog.FrequencyEdit()->Text(), "44099 Hz");
    EXPECT_EQ(dialog.Quality().Text(), "");

    emit dialog.Quality().Combo()->textActivated("Radio Quality");
    const CFormatChoice target = dialog.Target();
    EXPECT_EQ(target.frequencyText, "22050 Hz");
    EXPECT_EQ(target.depth, SampleDepth::Int16);
    EXPECT_FALSE(target.stereo);
    EXPECT_EQ(dialog.Quality().Text(), "Radio Quality");
}

TEST_F(SampleCommands, ConvertOkConvertsTheWholeSampleAsOneUndoStep) {
    const Values bytes = {128, 0, 255, 64, 192, 128, 10, 20};
    CWlproView& view = Show(SampleLayout::Mono8, 11025, bytes);
    const CSampleState before = CSampleState::Of(Buffer());
    const bool ok = RunConvertSample(view, [](QDialog& dialog) {
        auto& convert = static_cast<CConvertSampleDlg&>(dialog);
        EXPECT_EQ(convert.SourceLabel()->text(), "11025 Hz, 8 bit Mono");
        Type(convert.FrequencyEdit(), "22050 Hz");
        convert.Bits16()->click();
        convert.Stereo()->click();
        // Linear, so that every value is known: byte 128 stays the zero line wherever it is.
        convert.ConversionCombo()->setCurrentIndex(int(RateConversion::Linear));
        return int(QDialog::Accepted);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(Buffer().GetLayout(), SampleLayout::Stereo16);
    EXPECT_EQ(Buffer().GetRate(), 22050u);
    EXPECT_EQ(Buffer().GetFrameCount(), 16u);
    EXPECT_EQ(Buffer().GetByteLength(), 64u);
    EXPECT_EQ(ChannelOf(Buffer(), 0), ChannelOf(Buffer(), 1));
    EXPECT_EQ(ChannelOf(Buffer(), 0).front(), 0) << "byte 128 is the zero line";
    EXPECT_EQ(view.StatusTexts().value(2), "22050 Hz");
    EXPECT_TRUE(view.IsStereo());
    EXPECT_TRUE(m_doc->IsModified());

    EXPECT_EQ(m_doc->Undo(), 1);
    EXPECT_EQ(CSampleState::Of(Buffer()), before);
    EXPECT_FALSE(m_doc->Editor().CanUndo());
}

// Only the frequency changed: the sample keeps its bits and channels, whatever they are.
TEST_F(SampleCommands, ConvertToAnotherFrequencyKeepsTheBitsAndChannels) {
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Mono16, SampleLayout::Stereo8,
                                SampleLayout::Stereo16}) {
        CWlproView& view = Show(layout, 22050, RandomValues(layout, 100, 3));
        ASSERT_TRUE(RunConvertSample(view, [](QDialog& dialog) {
            Type(static_cast<CConvertSampleDlg&>(dialog).FrequencyEdit(), "44100 Hz");
            return int(QDialog::Accepted);
        }));
        EXPECT_EQ(Buffer().GetLayout(), layout) << int(layout);
        EXPECT_EQ(Buffer().GetRate(), 44100u);
        EXPECT_EQ(Buffer().GetFrameCount(), 200u);
    }
}

TEST_F(SampleCommands, ConvertCancelChangesNothing) {
    CWlproView& view = Show(SampleLayout::Mono16, 22050, {1, 2, 3, 4});
    const CSampleState before = CSampleState::Of(Buffer());
    EXPECT_FALSE(RunConvertSample(view, [](QDialog& dialog) {
        static_cast<CConvertSampleDlg&>(dialog).Stereo()->click();
        return int(QDialog::Rejected);
    }));
    EXPECT_EQ(CSampleState::Of(Buffer()), before);
    EXPECT_FALSE(m_doc->Editor().CanUndo());
    EXPECT_FALSE(m_doc->IsModified());
}

// The profile in a temporary folder, installed as the process-wide store while it lives.
struct CTempProfile {
    CTempProfile() : store(dir.path()) { CSettingsStore::Install(&store); }
    ~CTempProfile() { CSettingsStore::Install(nullptr); }
    QTemporaryDir dir;
    CSettingsStore store;
};

TEST(ConvertSampleDlg, OffersBandLimitedConversionWithoutDitherAtFirst) {
    CTempProfile profile;
    CConvertSampleDlg dialog;
    QComboBox* conversion = dialog.ConversionCombo();
    ASSERT_EQ(conversion->count(), 2);
    EXPECT_EQ(conversion->itemText(0), "High (band-limited)");
    EXPECT_EQ(conversion->itemText(1), "Linear (fast)");
    EXPECT_EQ(conversion->currentText(), "High (band-limited)");
    EXPECT_EQ(dialog.Conversion(), RateConversion::BandLimited);
    EXPECT_EQ(dialog.DitherCheck()->text(), "&Dither");
    EXPECT_FALSE(dialog.Dither());
    // Its own label, apart from the presets' "&Quality:".
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->buddy() == conversion)
            labels << label->text();
    EXPECT_EQ(labels, QStringList{"Co&nversion:"});
}

// The box is there to click only where integer samples lose bits.
TEST(ConvertSampleDlg, OffersDitherOnlyWhereBitsAreLost) {
    CTempProfile profile;
    const std::tuple<SampleDepth, SampleDepth, bool> cases[] = {
        {SampleDepth::Int16, SampleDepth::Int8, true},
        {SampleDepth::Int16, SampleDepth::Int16, false},
        {SampleDepth::Int8, SampleDepth::Int16, false},
        {SampleDepth::Int24, SampleDepth::Int16, true},
        {SampleDepth::Float32, SampleDepth::Int16, true},
        {SampleDepth::Float32, SampleDepth::Int24, false},
        {SampleDepth::Int24, SampleDepth::Float32, false}};
    for (const auto& [source, target, enabled] : cases) {
        CConvertSampleDlg dialog;
        dialog.SetSource(44100, source, true);
        dialog.Bits().Button(target)->click();
        EXPECT_EQ(dialog.DitherCheck()->isEnabled(), enabled)
            << int(source) << " to " << int(target);
    }
}

// OK keeps the conversion and dither chosen in the profile and converts with them; the next
// dialog starts from them; Cancel keeps nothing.
TEST_F(SampleCommands, ConvertKeepsItsConversionAndDitherInTheProfile) {
    CTempProfile profile;
    const std::tuple<int, bool, RateConversion> choices[] = {
        {1, true, RateConversion::Linear},
        {0, false, RateConversion::BandLimited},
        {1, false, RateConversion::Linear}};
    for (const auto& [index, dither, conversion] : choices) {
        const Values values = RandomValues(SampleLayout::Mono16, 441, 9);
        CWlproView& view = Show(SampleLayout::Mono16, 44100, values);
        ASSERT_TRUE(RunConvertSample(view, [&, index = index, dither = dither](QDialog& dialog) {
            auto& convert = static_cast<CConvertSampleDlg&>(dialog);
            Type(convert.FrequencyEdit(), "22050 Hz");
            convert.Bits8()->click();
            convert.ConversionCombo()->setCurrentIndex(index);
            if (convert.DitherCheck()->isChecked() != dither)
                convert.DitherCheck()->click();
            return int(QDialog::Accepted);
        }));
        CSampleBuffer expected;
        expected.SetRateConversion(conversion);
        expected.SetDither(dither);
        FillSample(expected, SampleLayout::Mono16, 44100, values);
        expected.SetFormat(22050, false, false);
        ASSERT_EQ(expected.ApplyFormat(), 1);
        EXPECT_EQ(ValuesOf(Buffer()), ValuesOf(expected)) << index << dither;

        CConvertSampleDlg next;
        EXPECT_EQ(next.ConversionCombo()->currentIndex(), index);
        EXPECT_EQ(next.Dither(), dither);
        // In the profile on disk, not only in this process.
        CSettingsStore reread(profile.dir.path());
        CSettingsStore::Install(&reread);
        EXPECT_EQ(CConvertSampleDlg::StoredConversion(), conversion);
        EXPECT_EQ(CConvertSampleDlg::StoredDither(), dither);
        CSettingsStore::Install(&profile.store);
    }

    CWlproView& view = Show(SampleLayout::Mono16, 44100, {1, 2, 3, 4});
    EXPECT_FALSE(RunConvertSample(view, [](QDialog& dialog) {
        auto& convert = static_cast<CConvertSampleDlg&>(dialog);
        convert.ConversionCombo()->setCurrentIndex(0);
        convert.DitherCheck()->click();
        return int(QDialog::Rejected);
    }));
    EXPECT_EQ(CConvertSampleDlg::StoredConversion(), RateConversion::Linear);
    EXPECT_FALSE(CConvertSampleDlg::StoredDither());
}

TEST(AdjustVolumeDlg, VolumeTextsInPercentAndDecibels) {
    const std::tuple<double, bool, const char*> cases[] = {
        {50, true, "-6.02"}, {100, true, "0.00"},     {200, true, "6.02"},    {0, true, "-100.00"},
        {50, false, "50.0"}, {33.333, false, "33.3"}, {-12.5, false, "-12.5"}};
    for (const auto& [percent, decibels, text] : cases)
        EXPECT_EQ(CAdjustVolumeDlg::VolumeText(percent, decibels), text) << percent;
    const std::tuple<const char*, bool, double> back[] = {{"0", true, 100},   {"-6.0206", true, 50},
                                                          {"20", true, 1000}, {"50 %", false, 50},
                                                          {"abc", false, 0},  {".5e2", false, 50}};
    for (const auto& [text, decibels, percent] : back)
        EXPECT_NEAR(CAdjustVolumeDlg::PercentOf(text, decibels), percent, 1e-3) << text;
}

TEST(AdjustVolumeDlg, OpensWithTheSidesTheSelectionAllows) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo16, 22050, {1, 2, 3, 4});
    // stereo, selector -> lock checked, lock enabled, left enabled, right enabled
    const std::tuple<bool, int, bool, bool, bool, bool> cases[] = {
        {true, 0, true, true, true, true},
        {true, 1, false, false, true, false},
        {true, 2, false, false, false, true},
        {false, 0, true, false, true, false}};
    for (const auto& [stereo, channel, locked, lockable, left, right] : cases) {
        CAdjustVolumeDlg dialog(buffer, stereo, 0, 1, channel);
        EXPECT_EQ(dialog.windowTitle(), "Adjust Volume");
        EXPECT_EQ(dialog.LockBox()->isChecked(), locked) << stereo << channel;
        EXPECT_EQ(dialog.LockBox()->isEnabled(), lockable) << stereo << channel;
        EXPECT_EQ(dialog.LeftEdit()->isEnabled() && dialog.LeftUnit()->isEnabled(), left);
        EXPECT_EQ(dialog.RightEdit()->isEnabled() && dialog.RightUnit()->isEnabled(), right);
        EXPECT_EQ(dialog.NormaliseEdit()->Text(), "100");
        EXPECT_EQ(dialog.BiasEdit()->Text(), "0");
        EXPECT_FALSE(dialog.BiasBox()->isChecked() || dialog.DecibelBox()->isChecked());
        EXPECT_EQ(dialog.LeftGain(), 1.0f);
        EXPECT_EQ(dialog.RightGain(), 1.0f);
    }
}

TEST(AdjustVolumeDlg, ArrowsStepHalfAPercentAndTheLockCopiesTheOtherSide) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo16, 22050, {1, 2, 3, 4});
    CAdjustVolumeDlg dialog(buffer, true, 0, 1, 0);
    dialog.LeftEdit()->stepBy(1);
    EXPECT_EQ(dialog.LeftEdit()->Text(), "100.5");
    EXPECT_EQ(dialog.RightEdit()->Text(), "100.5");
    dialog.RightEdit()->stepBy(-3);
    EXPECT_EQ(dialog.RightEdit()->Text(), "99.0");
    EXPECT_EQ(dialog.LeftEdit()->Text(), "99.0");
    Type(dialog.LeftEdit(), "50");
    EXPECT_EQ(dialog.RightEdit()->Text(), "50");

    dialog.LockBox()->setChecked(false);
    Type(dialog.LeftEdit(), "25");
    EXPECT_EQ(dialog.RightEdit()->Text(), "50");
    EXPECT_EQ(dialog.LeftGain(), 0.25f);
    EXPECT_EQ(dialog.RightGain(), 0.5f);

    dialog.DecibelBox()->setChecked(true);
    EXPECT_EQ(dialog.LeftEdit()->Text(), "-12.04");
    EXPECT_EQ(dialog.RightEdit()->Text(), "-6.02");
    EXPECT_EQ(dialog.LeftUnit()->text(), "volume dB");
    EXPECT_NEAR(dialog.RightGain(), 0.5f, 1e-4);
    dialog.DecibelBox()->setChecked(false);
    EXPECT_EQ(dialog.RightEdit()->Text(), "50.0");
    EXPECT_EQ(dialog.RightUnit()->text(), "volume %");
}

TEST(AdjustVolumeDlg, NormaliseFillsTheGainsFromTheRangesPeak) {
    CSampleBuffer buffer;
    // Left peak 100, right peak 1000 in frames 1..2; frame 0 is outside the range.
    FillSample(buffer, SampleLayout::Stereo16, 22050, {30000, 30000, 100, -5000, 50, 1000});
    CAdjustVolumeDlg dialog(buffer, true, 1, 2, 0);
    dialog.NormaliseButton()->click();
    EXPECT_EQ(dialog.LeftEdit()->Text(), "3276.7");
    EXPECT_EQ(dialog.RightEdit()->Text(), "3276.7") << "locked: one factor for both";

    dialog.LockBox()->setChecked(false);
    Type(dialog.NormaliseEdit(), "50");
    dialog.NormaliseButton()->click();
    EXPECT_EQ(dialog.LeftEdit()->Text(), "16383.5");
    EXPECT_EQ(dialog.RightEdit()->Text(), "1638.3");
    dialog.DecibelBox()->setChecked(true);
    dialog.NormaliseButton()->click();
    EXPECT_EQ(dialog.RightEdit()->Text(), "24.29");

    CAdjustVolumeDlg rightOnly(buffer, true, 1, 2, 2);
    rightOnly.NormaliseButton()->click();
    EXPECT_EQ(rightOnly.LeftEdit()->Text(), "100") << "the side not selected stays";
    EXPECT_EQ(rightOnly.RightEdit()->Text(), "3276.7");
}

TEST_F(SampleCommands, AGainOfFiftyPercentHalvesTheSelectionOnlyAsOneUndoStep) {
    const Values values = {1000, -2000, 3000, -4000, 5000, 6000};
    CWlproView& view = Show(SampleLayout::Mono16, 22050, values);
    view.Strip(0)->SetSelection(2, 4);
    EXPECT_TRUE(RunAdjustVolume(view, [](QDialog& dialog) {
        Type(static_cast<CAdjustVolumeDlg&>(dialog).LeftEdit(), "50");
        return int(QDialog::Accepted);
    }));
    EXPECT_EQ(ValuesOf(Buffer()), Values({1000, -2000, 1500, -2000, 2500, 6000}));
    EXPECT_TRUE(m_doc->IsModified());
    EXPECT_EQ(m_doc->Undo(), 1);
    EXPECT_EQ(ValuesOf(Buffer()), values);
    EXPECT_FALSE(m_doc->Editor().CanUndo());
}

TEST_F(SampleCommands, CancelOrNoSelectionLeavesTheSampleAlone) {
    const Values values = {1000, -2000, 3000};
    CWlproView& view = Show(SampleLayout::Mono16, 22050, values);
    int asked = 0;
    const auto cancel = [&](QDialog& dialog) {
        ++asked;
        Type(static_cast<CAdjustVolumeDlg&>(dialog).LeftEdit(), "50");
        return int(QDialog::Rejected);
    };
    view.Strip(0)->ClearSelectionAndCursor();
    EXPECT_FALSE(RunAdjustVolume(view, cancel)) << "neither a cursor nor a selection";
    EXPECT_EQ(asked, 0);
    view.Strip(0)->SetCursor(1);
    EXPECT_FALSE(RunAdjustVolume(view, cancel));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ValuesOf(Buffer()), values);
    EXPECT_FALSE(m_doc->Editor().CanUndo());
    EXPECT_FALSE(m_doc->IsModified());
}

TEST_F(SampleCommands, TheRightStripAloneAmplifiesTheRightChannelAndBiasTakesOutItsOffset) {
    CWlproView& view = Show(SampleLayout::Stereo16, 22050, {100, 1000, 200, 1200, 300, 1400});
    ASSERT_TRUE(view.IsStereo());
    view.Strip(0)->ClearSelectionAndCursor();
    view.Strip(1)->SetSelection(0, 2);
    ASSERT_EQ(view.GetSelectionRange().channel, 2);
    EXPECT_TRUE(RunAdjustVolume(view, [](QDialog& dialog) {
        auto& volume = static_cast<CAdjustVolumeDlg&>(dialog);
        EXPECT_FALSE(volume.LeftEdit()->isEnabled());
        Type(volume.RightEdit(), "200");
        volume.BiasBox()->setChecked(true);
        return int(QDialog::Accepted);
    }));
    EXPECT_EQ(ChannelOf(Buffer(), 0), Values({100, 200, 300})) << "the left channel stays";
    EXPECT_EQ(ChannelOf(Buffer(), 1), Values({-400, 0, 400})) << "doubled, then centred on 0";
    EXPECT_EQ(m_doc->Undo(), 1);
    EXPECT_EQ(ChannelOf(Buffer(), 1), Values({1000, 1200, 1400}));
}

} // namespace
