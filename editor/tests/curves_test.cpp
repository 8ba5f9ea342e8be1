// The curves of the Edit Envelope and Stereo Panning dialogs: the curve control's evaluation and
// mouse rules, its read-out, presets in the key tree, and what the dialogs do to a sample.

#include "capturereporter.h"
#include "fakewavedevice.h"
#include "samplemaker.h"

#include "platform/settingsstore.h"
#include "ui/curvecommands.h"
#include "ui/envelopedlg.h"
#include "ui/panningdlg.h"
#include "ui/spinedit.h"
#include "ui/wavewnd.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

using Fractions = std::vector<QPointF>;
using Points = std::vector<QPoint>;

// A shown control with W = 400 and H = 200, so that it takes the mouse.
struct CShownCurve {
    CShownCurve() {
        curve.resize(404, 204);
        curve.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&curve));
    }
    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&curve, Qt::LeftButton, {}, from);
        QTest::mouseMove(&curve, to);
        QTest::mouseRelease(&curve, Qt::LeftButton, {}, to);
    }
    // Points at x 3, 100, 200, 300 and 400, the inner ones at y 100.
    void MakeFivePoints() {
        for (int x : {100, 200, 300})
            QTest::mouseClick(&curve, Qt::LeftButton, {}, QPoint(x, 100));
    }
    CManipWind curve;
};

// Counts beeps by the output devices the playback engine asks for.
struct CBeepCounter {
    int Beeps() const { return devices.log.created; }
    CFakeWaveDeviceFactory devices;
};

// The settings store in a temporary folder, and the raw "Data" of its presets.
struct CTempStore {
    CTempStore() : store(dir.path()) { CSettingsStore::Install(&store); }
    ~CTempStore() { CSettingsStore::Install(nullptr); }
    static CKeyPath Key(const char* group, const QString& name) {
        return CKeyPath("SOFTWARE\\Wavelathe Pro").Child(QString::fromLatin1(group)).Child(name);
    }
    QByteArray Data(const char* group, const QString& name) {
        QByteArray data(4096, '\0');
        quint32 length = 0;
        if (!store.Keys().QueryValue(Key(group, name), "Data", data.data(), 4096, &length))
            return {};
        return data.left(qsizetype(length));
    }
    void SetData(const char* group, const QString& name, const QByteArray& data) {
        store.Keys().SetValue(Key(group, name), "Data", data);
    }
    QTemporaryDir dir;
    CSettingsStore store;
};

QByteArray Slots(const std::vector<std::pair<float, float>>& points, int size = 2048) {
    QByteArray data(size, '\0');
    for (std::size_t i = 0; i < points.size(); ++i) {
        qToLittleEndian<float>(points[i].first, data.data() + 8 * i);
        qToLittleEndian<float>(points[i].second, data.data() + 8 * i + 4);
    }
    return data;
}

TEST(CurveEvaluation, FollowsEachSegmentIsZeroOutsideAndGivesEveryFrameItsValue) {
    CManipWind curve;
    ASSERT_TRUE(curve.SetFractions({{0, 1}, {0.5, 0}, {0.75, 0.5}, {1, 0.5}}));
    const std::pair<double, double> cases[] = {{0, 0},     {0.25, 0.5}, {0.5, 1},   {0.625, 0.75},
                                               {0.9, 0.5}, {1, 0.5},    {-0.01, 0}, {1.01, 0}};
    for (const auto& [t, value] : cases)
        EXPECT_NEAR(curve.Evaluate(t), value, 1e-12) << t;

    // The straight runs the dialogs apply cover the range and hold the curve's value at each
    // frame's t; a single frame takes the value at t = 0.
    const std::pair<quint32, quint32> ranges[] = {{7, 7}, {0, 1}, {0, 4}, {10, 29}, {5, 44104}};
    for (const auto& [first, last] : ranges) {
        quint32 next = first;
        for (const CSampleEditor::CSegment& run : curve.Segments(first, last, 2.0)) {
            ASSERT_EQ(run.first, next);
            for (next = run.first; next <= run.last; ++next) {
                const double k =
                    run.last > run.first ? double(next - run.first) / (run.last - run.first) : 0;
                const double t = last > first ? double(next - first) / (last - first) : 0.0;
                ASSERT_NEAR(run.from + (run.to - run.from) * k, 2 * curve.Evaluate(t), 1e-9)
                    << next;
            }
        }
        EXPECT_EQ(next, last + 1);
    }
    EXPECT_TRUE(curve.Segments(5, 4, 1.0).empty());
}

TEST(ManipWind, ResetGivesAFlatLineAtTheTopOrInTheMiddle) {
    CShownCurve c;
    EXPECT_EQ(c.curve.Points(), (Points{{3, 3}, {400, 3}}));
    EXPECT_EQ(c.curve.Evaluate(0.4), 1.0);
    c.curve.Reset(CCurveMode::Panning);
    EXPECT_EQ(c.curve.Points(), (Points{{3, 102}, {400, 102}}));
    EXPECT_EQ(c.curve.Evaluate(0.4), 0.5);
}

TEST(ManipWind, APressOnAHandleDragsBetweenPointsInsertsAndElsewhereBeeps) {
    // Points at x 3, 200 and 400: a new one needs 5 pixels right of one and 4 left of the next;
    // a press within 2 pixels of a point takes that point.
    const std::pair<QPoint, bool> cases[] = {
        {{8, 150}, true},    {{7, 150}, false},   {{196, 150}, true}, {{197, 150}, false},
        {{205, 150}, true},  {{204, 150}, false}, {{396, 150}, true}, {{397, 150}, false},
        {{402, 150}, false}, {{202, 102}, false}, {{198, 98}, false}};
    for (const auto& [at, inserts] : cases) {
        CBeepCounter beeps;
        CShownCurve c;
        QTest::mouseClick(&c.curve, Qt::LeftButton, {}, QPoint(200, 100));
        const bool handle = (at - QPoint(200, 100)).manhattanLength() <= 4;
        QTest::mousePress(&c.curve, Qt::LeftButton, {}, at);
        const Points& points = c.curve.Points();
        EXPECT_EQ(points.size(), inserts ? 4u : 3u) << at.x() << "," << at.y();
        EXPECT_EQ(std::count(points.begin(), points.end(), at), inserts ? 1 : 0);
        EXPECT_EQ(c.curve.IsDragging(), inserts || handle);
        EXPECT_EQ(beeps.Beeps(), inserts || handle ? 0 : 1);
        QTest::mouseRelease(&c.curve, Qt::LeftButton, {}, at);
    }
}

TEST(ManipWind, ADraggedPointStaysBetweenItsNeighboursAndOnlyInnerOnesAreDraggedOut) {
    struct Case {
        int index;
        QPoint to;
        QPoint lands; // (0, 0): deleted
    };
    const Case cases[] = {
        {2, {50, 120}, {101, 120}},  {2, {350, 80}, {299, 80}},  {2, {250, -20}, {250, 3}},
        {2, {250, 220}, {250, 200}}, {2, {250, 221}, {0, 0}},    {2, {250, -21}, {0, 0}},
        {0, {50, 300}, {3, 200}},    {4, {350, -50}, {400, 3}},  {4, {100, 150}, {400, 150}},
        {1, {1, 100}, {4, 100}},     {3, {999, 100}, {399, 100}}};
    for (const Case& test : cases) {
        CShownCurve c;
        c.MakeFivePoints();
        const QPoint from = c.curve.Points()[std::size_t(test.index)];
        c.Drag(from, test.to);
        const Points& points = c.curve.Points();
        if (test.lands.isNull()) {
            EXPECT_EQ(std::count(points.begin(), points.end(), from), 0) << test.to.y();
        } else {
            EXPECT_EQ(points.at(std::size_t(test.index)), test.lands) << test.index;
        }
        EXPECT_EQ(points.size(), test.lands.isNull() ? 4u : 5u);
        EXPECT_FALSE(c.curve.IsDragging());
        EXPECT_EQ(c.curve.Fractions().back().x(), 1.0);
    }
}

TEST(ManipWind, AClickThatWouldMakeThe257thPointIsRefused) {
    for (const int points : {255, 256}) {
        CBeepCounter beeps;
        CShownCurve c;
        // Packed at the left, the last point alone at the right end.
        Fractions fractions;
        for (int i = 0; i < points - 1; ++i)
            fractions.emplace_back(i * 0.0015, 0.5);
        fractions.emplace_back(1.0, 0.5);
        ASSERT_TRUE(c.curve.SetFractions(fractions));
        QTest::mouseClick(&c.curve, Qt::LeftButton, {}, QPoint(320, 50));
        EXPECT_EQ(c.curve.PointCount(), 256) << points;
        EXPECT_EQ(beeps.Beeps(), points == 256 ? 1 : 0);
    }
}

TEST(ManipWind, TheRefusalIsA592HzToneOf200MsOrSilenceWithoutADevice) {
    {
        CBeepCounter beeps;
        CShownCurve c;
        QTest::mouseClick(&c.curve, Qt::LeftButton, {}, QPoint(1, 50));
        const CWaveDeviceLog& log = beeps.devices.log;
        ASSERT_EQ(beeps.Beeps(), 1);
        ASSERT_TRUE(log.format.bitsPerSample == 16 && log.format.channels == 1);
        EXPECT_EQ(log.queuedLength, log.format.samplesPerSec / 5 * 2);
        int crossings = 0;
        for (quint32 i = 2; i < log.queuedLength; i += 2) {
            crossings += (qFromLittleEndian<qint16>(log.queuedData + i - 2) < 0) !=
                         (qFromLittleEndian<qint16>(log.queuedData + i) < 0);
        }
        EXPECT_NEAR(crossings, 2 * 592 / 5, 3);
    }
    CCaptureReporter reporter;
    CShownCurve c;
    QTest::mouseClick(&c.curve, Qt::LeftButton, {}, QPoint(1, 50));
    EXPECT_EQ(c.curve.PointCount(), 2);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

TEST(CurveReadout, WritesTimeAndValueOrTheLeftAndRightShares) {
    struct Case {
        CCurveMode mode;
        float start, end;
        double time, height;
        const char* text;
    };
    const Case cases[] = {{CCurveMode::Envelope, 0, 10, 0.5, 0.25, "5.0s -> 75.0%"},
                          {CCurveMode::Envelope, 1, 3, 0, 1, "1.0s -> 0.0%"},
                          {CCurveMode::Panning, 0, 2, 1, 0.25, "2.0s -> 75%L,25%R"},
                          {CCurveMode::Panning, 1.5f, 3.5f, 0.25, 0.5, "2.0s -> 50%L,50%R"}};
    QLabel label;
    for (const Case& test : cases) {
        CCurveReadout readout(&label, test.mode, test.start, test.end);
        readout.Show(test.time, test.height);
        EXPECT_EQ(label.text(), QString::fromLatin1(test.text));
        readout.Clear();
        EXPECT_EQ(label.text(), QStringLiteral(" "));
    }
}

TEST(ManipWind, TheReadOutFollowsTheMouseOverTheCurveAndClearsWhenItLeaves) {
    CShownCurve c;
    QLabel label;
    CCurveReadout readout(&label, CCurveMode::Envelope, 0, 39.7f);
    c.curve.SetReadout(&readout);
    QTest::mouseMove(&c.curve, QPoint(103, 53));
    EXPECT_EQ(label.text(), QStringLiteral("10.0s -> 74.6%"));
    QTest::mouseMove(&c.curve, QPoint(401, 53));
    EXPECT_EQ(label.text(), QStringLiteral(" "));
    QTest::mouseMove(&c.curve, QPoint(400, 200));
    EXPECT_EQ(label.text(), QStringLiteral("39.7s -> 0.0%"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&c.curve, &leave);
    EXPECT_EQ(label.text(), QStringLiteral(" "));
    // A dragged point is shown wherever the mouse goes until it is let go.
    QTest::mousePress(&c.curve, Qt::LeftButton, {}, QPoint(400, 3));
    QTest::mouseMove(&c.curve, QPoint(300, 250));
    QApplication::sendEvent(&c.curve, &leave);
    EXPECT_EQ(label.text(), QStringLiteral("39.7s -> 0.0%"));
    QTest::mouseRelease(&c.curve, Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_EQ(label.text(), QStringLiteral(" "));
}

TEST(ManipWind, TheCurveKeepsItsShapeAtAnySize) {
    CShownCurve c;
    c.MakeFivePoints();
    const Fractions before = c.curve.Fractions();
    c.curve.resize(801, 401);
    EXPECT_EQ(c.curve.Points(), (Points{{3, 3}, {197, 197}, {397, 197}, {597, 197}, {797, 3}}));
    c.curve.resize(404, 204);
    EXPECT_EQ(c.curve.Points(), (Points{{3, 3}, {100, 100}, {200, 100}, {300, 100}, {400, 3}}));
    EXPECT_EQ(c.curve.Fractions(), before);
}

TEST(CurvePresets, DataIsTwoLittleEndianFloatsPerPointThenZeros) {
    CTempStore store;
    CCurvePresets presets(CCurvePresets::EnvelopeGroup());
    const Fractions curve{{0, 0.25}, {0.5, 1}, {1, 0}};
    ASSERT_TRUE(presets.Save("Fade", curve));
    EXPECT_EQ(store.Data("Envelope Presets", "Fade"), Slots({{0, 0.25f}, {0.5f, 1}, {1, 0}}));
    // A longer curve saved first leaves nothing behind when a shorter one replaces it.
    ASSERT_TRUE(presets.Save("Twice", {{0, 0}, {0.2, 1}, {0.4, 0}, {1, 1}}));
    ASSERT_TRUE(presets.Save("Twice", curve));
    EXPECT_EQ(store.Data("Envelope Presets", "Twice"), store.Data("Envelope Presets", "Fade"));
}

TEST(CurvePresets, ASavedCurveLoadsScaledToTheSizeOfTheControl) {
    CTempStore store;
    CCurvePresets presets(CCurvePresets::PanningGroup());
    CShownCurve drawn;
    drawn.MakeFivePoints();
    drawn.Drag(QPoint(200, 100), QPoint(200, 160));
    ASSERT_TRUE(presets.Save("Sweep", drawn.curve.Fractions()));
    const QByteArray saved = store.Data("Stereo Panning Presets", "Sweep");

    CShownCurve loaded;
    loaded.curve.resize(801, 404);
    Fractions fractions;
    ASSERT_EQ(presets.Load("Sweep", fractions), CCurvePresets::CLoad::Loaded);
    ASSERT_TRUE(loaded.curve.SetFractions(fractions));
    EXPECT_EQ(loaded.curve.Points(),
              (Points{{3, 3}, {197, 198}, {397, 319}, {597, 198}, {797, 3}}));
    // Back at the size it was drawn at, every point is where it was; saved again, same bytes.
    loaded.curve.resize(404, 204);
    EXPECT_EQ(loaded.curve.Points(), drawn.curve.Points());
    ASSERT_TRUE(presets.Save("Sweep", loaded.curve.Fractions()));
    EXPECT_EQ(store.Data("Stereo Panning Presets", "Sweep"), saved);
}

TEST(CurvePresets, DamagedDataIsRefusedAndAMissingPresetIsNoPreset) {
    CTempStore store;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<const char*, QByteArray> damaged[] = {
        {"short", Slots({{0, 0}, {1, 0}}, 2047)},
        {"long", Slots({{0, 0}, {1, 0}}, 2049)},
        {"empty", QByteArray()},
        {"no end", Slots({{0, 0}, {0.5f, 0}, {0.9f, 0}})},
        {"not a number", Slots({{0, 0}, {0.5f, nan}, {1, 0}})},
        {"above one", Slots({{0, 0}, {0.5f, 1.5f}, {1, 0}})},
        {"below zero", Slots({{0, -0.25f}, {1, 0}})},
        {"late start", Slots({{0.25f, 0}, {1, 0}})},
        {"backwards", Slots({{0, 0}, {0.6f, 0}, {0.3f, 0}, {1, 0}})}};
    CCurvePresets presets(CCurvePresets::EnvelopeGroup());
    for (const auto& [name, data] : damaged) {
        store.SetData("Envelope Presets", name, data);
        Fractions fractions{{0, 0}, {1, 0}};
        EXPECT_EQ(presets.Load(name, fractions), CCurvePresets::CLoad::Damaged) << name;
        EXPECT_EQ(fractions, (Fractions{{0, 0}, {1, 0}}));
    }
    Fractions fractions;
    EXPECT_EQ(presets.Load("nobody", fractions), CCurvePresets::CLoad::Missing);
}

TEST(CurveDialogs, PresetListSortedIgnoringCaseSaveAddsNewNamesPickLoadsDeleteRemoves) {
    CTempStore store;
    CCaptureReporter reporter;
    for (const char* name : {"beta", "Alpha", "gamma"})
        CCurvePresets(CCurvePresets::EnvelopeGroup()).Save(name, {{0, 0}, {0.5, 0.5}, {1, 1}});
    store.SetData("Envelope Presets", "broken", QByteArray(10, 1));
    CSampleBuffer buffer;
    CEnvelopeDlg dialog(buffer, 0, 99, 0);
    QComboBox* combo = dialog.PresetCombo();
    auto entries = [combo] {
        QStringList names;
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        return names;
    };
    auto click = [combo](const char* name, QPushButton* button) {
        combo->setEditText(QString::fromLatin1(name));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    auto pick = [combo](const char* name) { emit combo->activated(combo->findText(name)); };
    EXPECT_EQ(entries(), QStringList({"Alpha", "beta", "broken", "gamma"}));
    EXPECT_EQ(combo->lineEdit()->maxLength(), 49);
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
    for (const char* name : {"Alp", "ALPHA", "Delta"})
        click(name, dialog.SaveButton());
    EXPECT_EQ(entries(), QStringList({"Alp", "Alpha", "beta", "broken", "Delta", "gamma"}));
    // "ALPHA" saved the new flat curve over "Alpha": the list has one entry for both.
    EXPECT_EQ(store.Data("Envelope Presets", "Alpha"), CCurvePresets::Encode({{0, 0}, {1, 0}}));
    EXPECT_TRUE(store.Data("Envelope Presets", "ALPHA").isEmpty());

    pick("beta");
    pick("broken");
    EXPECT_EQ(dialog.Curve()->Fractions(), (Fractions{{0, 0}, {0.5, 0.5}, {1, 1}}));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, "The preset \"broken\" is damaged and was not loaded.");
    click("BETA", dialog.DeleteButton());
    QStringList stored = CCurvePresets(CCurvePresets::EnvelopeGroup()).Names();
    stored.sort(Qt::CaseInsensitive);
    EXPECT_EQ(stored, QStringList({"Alp", "Alpha", "broken", "Delta", "gamma"}));
    EXPECT_EQ(entries(), stored);
    combo->setEditText("nothing");
    EXPECT_FALSE(dialog.DeleteButton()->isEnabled());
}

// The commands on a document's view, with first..last selected in the selector's strips.
struct CCurveCommand : ::testing::Test {
    void Open(SampleLayout layout, quint32 frames, quint32 first, quint32 last, int channel = 0) {
        doc = std::make_unique<CWlproDoc>(QStringLiteral("Wlpro1"));
        FillSample(doc->Buffer(), layout, 22050, RandomValues(layout, frames, 7));
        view = std::make_unique<CWlproView>(doc.get());
        for (int strip = 0; strip < (view->IsStereo() ? 2 : 1); ++strip) {
            view->Strip(strip)->ClearSelectionAndCursor();
            if (channel == 0 || channel == strip + 1)
                view->Strip(strip)->SetSelection(first, last);
        }
        before = CSampleState::Of(doc->Buffer());
        original = ValuesOf(doc->Buffer());
    }
    // Runs the command; once its dialog shows, draws `curve` (unless empty) and ends it.
    template <typename Dialog> bool Run(const Fractions& curve, bool ok = true) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, curve, ok] {
            if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
                timer->deleteLater();
                if (!curve.empty())
                    dialog->Curve()->SetFractions(curve);
                ok ? dialog->accept() : dialog->reject();
            }
        });
        timer->start(10);
        return std::is_same_v<Dialog, CEnvelopeDlg> ? RunEnvelope(*view) : RunStereoPanning(*view);
    }
    // A frame's samples, 8-bit ones as distances from the zero line: now, and before.
    Values Frame(quint32 frame) const { return FrameOf(ValuesOf(doc->Buffer()), frame); }
    Values Before(quint32 frame) const { return FrameOf(original, frame); }
    Values FrameOf(const Values& all, quint32 frame) const {
        const quint32 channels = doc->Buffer().GetChannels();
        Values one(all.begin() + frame * channels, all.begin() + (frame + 1) * channels);
        for (int& v : one)
            v -= LayoutIs16Bit(doc->Buffer().GetLayout()) ? 0 : 128;
        return one;
    }
    bool Unchanged() const { return CSampleState::Of(doc->Buffer()) == before; }
    std::unique_ptr<CWlproDoc> doc;
    std::unique_ptr<CWlproView> view;
    CSampleState before;
    Values original;
};

TEST_F(CCurveCommand, CancelAndAFlatEnvelopeChangeNothingARampFadesInAsOneUndoStep) {
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Mono16, SampleLayout::Stereo8,
                                SampleLayout::Stereo16}) {
        Open(layout, 1000, 100, 899);
        EXPECT_FALSE(Run<CEnvelopeDlg>({{0, 1}, {1, 1}}, false));
        EXPECT_FALSE(doc->Editor().CanUndo());
        EXPECT_TRUE(Run<CEnvelopeDlg>({}));
        EXPECT_TRUE(Unchanged()) << int(layout);
        EXPECT_TRUE(Run<CEnvelopeDlg>({{0, 1}, {1, 0}}));
        EXPECT_EQ(Frame(100), Values(LayoutChannels(layout), 0));
        for (quint32 frame : {99u, 899u, 900u})
            EXPECT_EQ(Frame(frame), Before(frame)) << frame;
        EXPECT_TRUE(doc->IsModified());
        doc->Undo();
        EXPECT_TRUE(Unchanged());
    }
}

TEST_F(CCurveCommand, OneFrameOfOneChannelTakesTheCurveAtItsStart) {
    Open(SampleLayout::Stereo16, 50, 20, 20, 2);
    EXPECT_TRUE(Run<CEnvelopeDlg>({{0, 0.5}, {1, 1}}));
    EXPECT_EQ(Frame(20), (Values{Before(20)[0], int(float(Before(20)[1]) * 0.5f)}));
    EXPECT_EQ(Frame(21), Before(21));
}

TEST_F(CCurveCommand, APanCurveAtTheTopLeavesOnlyTheLeftChannel) {
    for (SampleLayout layout : {SampleLayout::Stereo8, SampleLayout::Stereo16}) {
        Open(layout, 400, 0, 399);
        EXPECT_FALSE(Run<CPanningDlg>({{0, 0}, {1, 0}}, false));
        EXPECT_TRUE(Unchanged());
        EXPECT_TRUE(Run<CPanningDlg>({{0, 0}, {1, 0}}));
        for (quint32 frame : {0u, 133u, 399u})
            EXPECT_EQ(Frame(frame), (Values{Before(frame)[0] / 2 + Before(frame)[1] / 2, 0}));
        doc->Undo();
        EXPECT_TRUE(Unchanged());
    }
    Open(SampleLayout::Mono16, 400, 0, 399);
    EXPECT_FALSE(RunStereoPanning(*view));
}

TEST_F(CCurveCommand, NormaliseFillsInTheAmplificationAndOkRefusesOneThatIsNoNumber) {
    Open(SampleLayout::Mono16, 4, 0, 3);
    std::memcpy(doc->Buffer().GetData(), "\x00\x20\x00\xF0\x00\x10\x00\x00", 8);
    CCaptureReporter reporter;
    CEnvelopeDlg dialog(doc->Buffer(), 0, 3, 0);
    dialog.show();
    EXPECT_EQ(dialog.AmplificationSpin()->Text(), QStringLiteral("100"));
    EXPECT_EQ(dialog.NormaliseSpin()->Maximum(), 32767);
    // The peak 8192 needs the factor 32767 / 8192 to reach full scale.
    const std::pair<const char*, const char*> cases[] = {
        {"100", "400.0"}, {" 25 ", "100.0"}, {"0", "0.0"}, {"lots", "0.0"}};
    for (const auto& [percent, amplification] : cases) {
        dialog.NormaliseSpin()->SetText(QString::fromLatin1(percent));
        QTest::mouseClick(dialog.NormaliseButton(), Qt::LeftButton);
        EXPECT_EQ(dialog.AmplificationSpin()->Text(), QString::fromLatin1(amplification));
    }
    dialog.AmplificationSpin()->SetText(QStringLiteral("12,5"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(reporter.messages.size(), 2);
    EXPECT_EQ(reporter.messages[0].text, "The normalisation percentage must be a whole number.");
    EXPECT_EQ(reporter.messages[1].text, "The amplification must be a number.");
    dialog.AmplificationSpin()->SetText(QStringLiteral("12.5"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(CurveDialogs, TheCurveFollowsTheDialogsSize) {
    CSampleBuffer buffer;
    FillSample(buffer, SampleLayout::Stereo8, 8000, Values(20, 128));
    CEnvelopeDlg envelope(buffer, 0, 9, 0);
    CPanningDlg panning(buffer, 0, 9);
    EXPECT_EQ(envelope.windowTitle() + panning.windowTitle(), "Edit EnvelopeStereo Panning");
    for (CCurveDlg* dialog : std::initializer_list<CCurveDlg*>{&envelope, &panning}) {
        dialog->show();
        const QSize small = dialog->Curve()->size();
        dialog->resize(dialog->size() + QSize(300, 200));
        QApplication::processEvents();
        EXPECT_EQ(dialog->Curve()->size(), small + QSize(300, 200));
        EXPECT_EQ(dialog->Curve()->Points().back().x(), dialog->Curve()->AreaRight());
    }
}

TEST(ScaleSegments, GivesTheBytesOfScaleFramesWithTheSameGains) {
    const std::vector<CSampleEditor::CSegment> runs{
        {3, 20, 0.0, 2.5}, {21, 21, 0.75, 0.75}, {22, 60, 1.0, -1.0}};
    auto gainAt = [&](quint32 frame) {
        for (const CSampleEditor::CSegment& s : runs) {
            if (frame >= s.first && frame <= s.last)
                return float(s.from +
                             (s.last > s.first ? (s.to - s.from) / (s.last - s.first) : 0) *
                                 double(frame - s.first));
        }
        return 1.0f;
    };
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Mono16, SampleLayout::Stereo8,
                                SampleLayout::Stereo16}) {
        for (int channel : {0, 1, 2}) {
            CSampleBuffer fast;
            CSampleBuffer slow;
            FillSample(fast, layout, 8000, RandomValues(layout, 64, 11));
            FillSample(slow, layout, 8000, RandomValues(layout, 64, 11));
            CSampleEditor(fast).ScaleSegments(5, 59, channel, runs);
            CSampleEditor(slow).ScaleFrames(5, 59, channel, gainAt);
            EXPECT_EQ(ValuesOf(fast), ValuesOf(slow)) << int(layout) << " " << channel;
        }
    }
}

// The runs of a curve done several frames at a time against the per-frame edits with the same
// values, on random loud data, so that the products clip and the halves round at both signs.
struct CRunCase {
    const char* name;
    bool pan;
    std::vector<CSampleEditor::CSegment> runs;
};

class CurveRuns : public ::testing::TestWithParam<CRunCase> {};

TEST_P(CurveRuns, GiveTheBytesOfThePerFrameEdit) {
    const CRunCase& c = GetParam();
    // The value the per-frame edit gets for `frame`, as the run defines it.
    auto valueAt = [&](quint32 frame) {
        for (const CSampleEditor::CSegment& s : c.runs) {
            if (frame >= s.first && frame <= s.last) {
                const double step = s.last > s.first ? (s.to - s.from) / (s.last - s.first) : 0;
                return float(s.from + step * double(frame - s.first));
            }
        }
        return c.pan ? 0.5f : 1.0f;
    };
    constexpr qint64 kFirst = 7;
    constexpr qint64 kLast = 2990;
    for (SampleLayout layout : {SampleLayout::Mono8, SampleLayout::Mono16, SampleLayout::Stereo8,
                                SampleLayout::Stereo16}) {
        for (int channel : {0, 1, 2}) {
            if (c.pan && channel != 0)
                continue;
            CSampleBuffer fast;
            CSampleBuffer slow;
            const Values before = RandomValues(layout, 3001, 29);
            FillSample(fast, layout, 8000, before);
            FillSample(slow, layout, 8000, before);
            if (c.pan) {
                CSampleEditor(fast).PanSegments(kFirst, kLast, c.runs);
                CSampleEditor(slow).PanFrames(kFirst, kLast, valueAt);
            } else {
                CSampleEditor(fast).ScaleSegments(kFirst, kLast, channel, c.runs);
                CSampleEditor(slow).ScaleFrames(kFirst, kLast, channel, valueAt);
            }
            EXPECT_EQ(ValuesOf(fast), ValuesOf(slow)) << int(layout) << " channel " << channel;
            // A stereo pan changes the sample; a pan of a mono one leaves it.
            EXPECT_EQ(ValuesOf(fast) == before, c.pan && !LayoutIsStereo(layout));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Curves, CurveRuns,
    ::testing::Values(
        CRunCase{"GainsThatClipAndTurnTheSign",
                 false,
                 {{0, 1000, 0.0, 3.5},
                  {1001, 1001, 0.3, 0.3},
                  {1002, 2500, 3.5, -2.25},
                  {2501, 3000, -0.001, 0.77}}},
        CRunCase{"GainsOfAShortRunAndAGap", false, {{5, 9, 1.5, 0.25}, {400, 2000, 0.9, 1.1}}},
        CRunCase{"GainsBeyondAnyScale",
                 false,
                 {{0, 1400, 70000.0, -90000.0}, {1401, 3000, 1e39, -1e39}}},
        CRunCase{"PositionsAcrossTheWholeBalance",
                 true,
                 {{0, 1300, 0.0, 1.0}, {1301, 1301, 0.25, 0.25}, {1302, 3000, 0.93, 0.07}}},
        CRunCase{"PositionsPastBothEnds", true, {{0, 3000, -0.5, 1.5}}}),
    [](const ::testing::TestParamInfo<CRunCase>& info) { return std::string(info.param.name); });

} // namespace
