// The "Sample Properties" window as a user drives it over the running editor: the Format page
// reinterprets, reverts and converts the sample (each one undo step), the View page moves the
// selection and cursor in samples, bytes or seconds and sets the scale and style, the
// Information page edits the sample's texts within what a wave file can hold, and the window
// shows, hides and forgets views as the frame's windows come and go.

#include "capturereporter.h"
#include "samplemaker.h"

#include "ui/docwindow.h"
#include "ui/frameprompts.h"
#include "ui/mainframe.h"
#include "ui/minipropdlg.h"
#include "ui/pptyinformation.h"
#include "ui/pptysample.h"
#include "ui/pptyview.h"
#include "ui/samplepresetsdlg.h"
#include "ui/sampleproperties.h"
#include "ui/spinedit.h"
#include "ui/wavewnd.h"
#include "ui/wlproapp.h"
#include "ui/wlproview.h"

#include "core/byteorder.h"
#include "core/wlprodoc.h"
#include "platform/settingsstore.h"

#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct CFormat {
    quint32 rate;
    bool stereo;
    bool sixteenBit;
    friend bool operator==(const CFormat& a, const CFormat& b) {
        return a.rate == b.rate && a.stereo == b.stereo && a.sixteenBit == b.sixteenBit;
    }
};

CFormat FormatOf(const CSampleBuffer& buffer) {
    return {buffer.GetRate(), buffer.GetChannels() == 2, buffer.GetBits() == 16};
}

void PrintTo(const CFormat& f, std::ostream* os) {
    *os << f.rate << (f.stereo ? " stereo " : " mono ") << (f.sixteenBit ? 16 : 8);
}

class Properties : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<CSettingsStore>(dir.filePath(QStringLiteral("settings")));
    }
    void TearDown() override {
        props.reset();
        if (app && app->Frame())
            for (CDocWindow* window : app->Frame()->DocumentWindows())
                window->View()->Document()->SetModified(false);
        app.reset();
    }

    // Starts the editor on one wave file of `frames` frames and attaches a properties window to
    // its view.
    void Start(SampleLayout layout, quint32 rate, quint32 frames) {
        Values values;
        for (quint32 i = 0; i < frames * LayoutChannels(layout); ++i)
            values.push_back(LayoutIs16Bit(layout) ? int(i * 37 % 4000) - 2000 : int(i * 7 % 256));
        CSampleBuffer buffer;
        FillSample(buffer, layout, rate, values);
        const QString path = dir.filePath(QStringLiteral("s.wav"));
        ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
        app = std::make_unique<CWlproApp>(*settings, &prompts, false);
        app->Start({path});
        props = std::make_unique<CMiniPropDlg>(app->Frame(), &settings->Keys());
        props->SetView(View());
    }

    CWlproView* View() { return app->Frame()->ActiveView(); }
    CWlproDoc* Doc() { return View()->Document(); }
    CSampleBuffer& Buffer() { return Doc()->Buffer(); }
    int Steps() { return Doc()->Editor().History().UndoCount(); }
    CPptySample* Format() { return props->Sheet()->FormatPage(); }
    CPptyView* ViewPage() { return props->Sheet()->ViewPage(); }
    CPptyInformation* Info() { return props->Sheet()->InformationPage(); }
    void Undo() { app->Frame()->Dispatch(CommandId::EditUndo); }

    static void TypeInto(CSpinEdit* edit, const QString& text) {
        edit->setFocus();
        QLineEdit* line = edit->findChild<QLineEdit*>();
        line->selectAll();
        QTest::keyClicks(line, text);
    }
    static void TypeAndReturn(CSpinEdit* edit, const QString& text) {
        TypeInto(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    QTemporaryDir dir;
    std::unique_ptr<CSettingsStore> settings;
    CFramePrompts prompts;
    CCaptureReporter reporter;
    std::unique_ptr<CWlproApp> app;
    std::unique_ptr<CMiniPropDlg> props;
};

// ----- Format page -----------------------------------------------------------------------------

struct ShownCase {
    SampleLayout layout;
    quint32 rate;
    QString frequency;
    bool sixteenBit;
    bool stereo;
    QString memory;
    QString quality;
};

TEST_F(Properties, FormatPageShowsTheSampleFormatMemoryAndQuality) {
    const ShownCase cases[] = {
        {SampleLayout::Stereo16, 44100, "44100 Hz", true, true, "172 Kb/sec", "CD Quality"},
        {SampleLayout::Mono8, 8000, "8000 Hz", false, false, "7 Kb/sec", "Telephone Quality"},
        {SampleLayout::Mono8, 11025, "11025 Hz", false, false, "10 Kb/sec", ""},
    };
    for (const ShownCase& c : cases) {
        Start(c.layout, c.rate, 100);
        EXPECT_EQ(Format()->FrequencyEdit()->Text(), c.frequency);
        EXPECT_EQ(Format()->Bits16()->isChecked(), c.sixteenBit);
        EXPECT_EQ(Format()->Bits8()->isChecked(), !c.sixteenBit);
        EXPECT_EQ(Format()->Stereo()->isChecked(), c.stereo);
        EXPECT_EQ(Format()->MemoryLabel()->text(), c.memory);
        EXPECT_EQ(Format()->Quality()->Text(), c.quality) << c.rate;
        TearDown();
    }
}

TEST_F(Properties, StereoHalvesAMonoSampleShowsTwoStripsAndUndoBringsMonoBack) {
    Start(SampleLayout::Mono16, 22050, 1000);
    const CSampleState before = CSampleState::Of(Buffer());
    Format()->Stereo()->click();
    EXPECT_EQ(Buffer().GetFrameCount(), 500u);
    EXPECT_TRUE(View()->IsStereo());
    EXPECT_EQ(Steps(), 1);
    EXPECT_TRUE(Doc()->IsModified());
    // The bytes are read differently, not changed.
    EXPECT_EQ(CSampleState::Of(Buffer()).bytes, before.bytes);
    Undo();
    EXPECT_EQ(Buffer().GetFrameCount(), 1000u);
    EXPECT_FALSE(View()->IsStereo());
    EXPECT_TRUE(Format()->Mono()->isChecked());
}

struct EditCase {
    const char* what;
    std::function<void(CPptySample*)> edit;
    CFormat expected;
};

TEST_F(Properties, EachFormatEditIsOneUndoStepThatUndoTakesBack) {
    const CFormat start{22050, false, true};
    const EditCase cases[] = {
        {"8-bit", [](CPptySample* p) { p->Bits8()->click(); }, {22050, false, false}},
        {"stereo", [](CPptySample* p) { p->Stereo()->click(); }, {22050, true, true}},
        {"typed frequency",
         [](CPptySample* p) { TypeAndReturn(p->FrequencyEdit(), QStringLiteral("11025")); },
         {11025, false, true}},
        {"arrow up",
         [](CPptySample* p) { QTest::keyClick(p->FrequencyEdit(), Qt::Key_Up); },
         {22051, false, true}},
        {"quality chosen",
         [](CPptySample* p) {
             QComboBox* combo = p->Quality()->Combo();
             const int index = combo->findText(QStringLiteral("CD Quality"));
             combo->setCurrentIndex(index);
             emit combo->textActivated(combo->itemText(index));
         },
         {44100, true, true}},
        {"presets dialog",
         [](CPptySample* p) {
             p->Quality()->RunPresets([](CSamplePresetsDlg& dialog) {
                 dialog.SetName(QStringLiteral("Telephone Quality"));
             });
         },
         {8000, false, false}},
    };
    Start(SampleLayout::Mono16, start.rate, 1000);
    for (const EditCase& c : cases) {
        c.edit(Format());
        EXPECT_EQ(FormatOf(Buffer()), c.expected) << c.what;
        EXPECT_EQ(Steps(), 1) << c.what;
        EXPECT_EQ(Format()->FrequencyEdit()->Text(), QStringLiteral("%1 Hz").arg(c.expected.rate))
            << c.what;
        Undo();
        EXPECT_EQ(FormatOf(Buffer()), start) << c.what;
        Doc()->Editor().ClearHistory();
    }
}

TEST_F(Properties, HoldingTheFrequencyArrowAppliesOnceWhenLetGo) {
    Start(SampleLayout::Mono8, 22050, 100);
    CSpinEdit* spin = Format()->FrequencyEdit();
    spin->setFocus();
    for (int i = 0; i < 5; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(spin, &press);
    }
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(Buffer().GetRate(), 22050u);
    const int shown = CFormatChoice::FrequencyOf(spin->Text());
    EXPECT_GE(shown, 22055);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(spin, &release);
    EXPECT_EQ(Buffer().GetRate(), quint32(shown));
    EXPECT_EQ(Steps(), 1);
}

TEST_F(Properties, ArrowsCoverTheirRangesAndStartFromTheValueShown) {
    Start(SampleLayout::Mono8, 48000, 100);
    struct Case {
        CSpinEdit* spin;
        int minimum;
        int maximum;
        int position;
    };
    const Case cases[] = {
        {Format()->FrequencyEdit(), 4000, 48000, 48000},
        {ViewPage()->ScaleEdit(), 1, 65535, int(View()->Strip(0)->Scale())},
        {ViewPage()->LeftEdit(), -30000, 30000, 0},
        {ViewPage()->RightEdit(), -30000, 30000, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.spin->Minimum(), c.minimum);
        EXPECT_EQ(c.spin->Maximum(), c.maximum);
        EXPECT_EQ(c.spin->Position(), c.position);
    }
    // At the top of its range the frequency arrow does nothing.
    QTest::keyClick(Format()->FrequencyEdit(), Qt::Key_Up);
    EXPECT_EQ(Buffer().GetRate(), 48000u);
    EXPECT_EQ(Steps(), 0);
}

TEST_F(Properties, AFrequencyThatIsNoNumberIsRefusedWithAMessage) {
    Start(SampleLayout::Mono8, 22050, 100);
    TypeAndReturn(Format()->FrequencyEdit(), QStringLiteral("fast"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.first().text.contains(QStringLiteral("frequency")));
    EXPECT_EQ(Buffer().GetRate(), 22050u);
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(Format()->FrequencyEdit()->Text(), QStringLiteral("22050 Hz"));
}

TEST_F(Properties, RevertRestoresTheCommittedFormatAsOneStep) {
    Start(SampleLayout::Mono16, 22050, 1000);
    Format()->Stereo()->click();
    TypeAndReturn(Format()->FrequencyEdit(), QStringLiteral("8000"));
    Format()->RevertButton()->click();
    EXPECT_EQ(FormatOf(Buffer()), (CFormat{22050, false, true}));
    EXPECT_EQ(Buffer().GetFrameCount(), 1000u);
    EXPECT_FALSE(View()->IsStereo());
    EXPECT_EQ(Format()->FrequencyEdit()->Text(), QStringLiteral("22050 Hz"));
    EXPECT_TRUE(Format()->Mono()->isChecked());
    EXPECT_EQ(Steps(), 3);
    Undo();
    EXPECT_EQ(FormatOf(Buffer()), (CFormat{8000, true, true}));
}

TEST_F(Properties, ConvertTurnsTheDataIntoTheShownFormatAsOneStep) {
    Start(SampleLayout::Mono8, 22050, 1000);
    Format()->Bits16()->click(); // reinterprets: 500 frames of 16-bit
    ASSERT_EQ(Buffer().GetFrameCount(), 500u);
    Format()->ConvertButton()->click();
    EXPECT_EQ(FormatOf(Buffer()), (CFormat{22050, false, true}));
    EXPECT_EQ(Buffer().GetCommittedFormat(), Buffer().GetFormat());
    EXPECT_EQ(Buffer().GetFrameCount(), 1000u); // the 8-bit frames, now 16-bit
    EXPECT_EQ(Steps(), 2);
    Undo();
    EXPECT_EQ(Buffer().GetFrameCount(), 500u);
}

// ----- View page -------------------------------------------------------------------------------

struct UnitCase {
    CPositionUnit unit;
    QString left;
    QString right;
    QString typed;
    quint32 typedFrame;
};

TEST_F(Properties, UnitsShowTheSelectionAndReadTypedPositions) {
    // 16-bit stereo at 8000 Hz: 4 bytes a frame, 8 frames a millisecond.
    const UnitCase cases[] = {
        {CPositionUnit::Samples, "800", "1600", "123", 123},
        {CPositionUnit::Bytes, "3200", "6400", "403", 100},
        {CPositionUnit::Seconds, "0.10", "0.20", "0.05", 400},
    };
    Start(SampleLayout::Stereo16, 8000, 4000);
    CWaveWnd* strip = View()->Strip(0);
    for (const UnitCase& c : cases) {
        strip->SetSelection(800, 1600);
        View()->Strip(1)->SetSelection(800, 1600);
        ViewPage()->UnitButton(c.unit)->click();
        EXPECT_EQ(ViewPage()->LeftLabel()->text(), QStringLiteral("Left:"));
        EXPECT_EQ(ViewPage()->LeftEdit()->Text(), c.left);
        EXPECT_EQ(ViewPage()->RightEdit()->Text(), c.right);
        TypeInto(ViewPage()->LeftEdit(), c.typed);
        EXPECT_EQ(strip->SelectionStart(), c.typedFrame) << c.typed.toStdString();
        EXPECT_EQ(View()->Strip(1)->SelectionStart(), c.typedFrame);
        EXPECT_EQ(strip->SelectionEnd(), 1600u);
        // What was typed stays as typed.
        EXPECT_EQ(ViewPage()->LeftEdit()->Text(), c.typed);
    }
}

TEST_F(Properties, PositionsConvertBetweenUnits) {
    struct Case {
        QString text;
        CPositionUnit unit;
        quint32 frame;
    };
    const Case cases[] = {
        {"17", CPositionUnit::Samples, 17},    {"-5", CPositionUnit::Samples, 0},
        {"junk", CPositionUnit::Samples, 0},   {"9 frames", CPositionUnit::Samples, 9},
        {"7", CPositionUnit::Bytes, 1},        {"8", CPositionUnit::Bytes, 2},
        {"1.5", CPositionUnit::Seconds, 1500}, {".25", CPositionUnit::Seconds, 250},
        {"1e9", CPositionUnit::Samples, 1},    {"99999999999", CPositionUnit::Samples, 4294967295u},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PositionFrame(c.text, c.unit, 4, 1000), c.frame) << c.text.toStdString();
    EXPECT_EQ(PositionText(1234, CPositionUnit::Seconds, 4, 1000), QStringLiteral("1.23"));
    EXPECT_EQ(PositionText(1234, CPositionUnit::Bytes, 4, 1000), QStringLiteral("4936"));
    EXPECT_EQ(PositionText(5, CPositionUnit::Seconds, 4, 0), QStringLiteral("0.00"));
}

TEST_F(Properties, WithACursorOnlyTheLeftTextNamesItAndTheRightIsOff) {
    Start(SampleLayout::Stereo16, 8000, 4000);
    View()->Strip(0)->SetCursor(250);
    View()->Strip(1)->SetCursor(250);
    EXPECT_EQ(ViewPage()->LeftLabel()->text(), QStringLiteral("Cursor:"));
    EXPECT_EQ(ViewPage()->RightLabel()->text(), QString());
    EXPECT_EQ(ViewPage()->LeftEdit()->Text(), QStringLiteral("250"));
    EXPECT_EQ(ViewPage()->RightEdit()->Text(), QString());
    EXPECT_FALSE(ViewPage()->RightEdit()->isEnabled());
    QTest::keyClick(ViewPage()->LeftEdit(), Qt::Key_Up);
    EXPECT_EQ(View()->Strip(0)->CursorPosition(), 251u);
    TypeInto(ViewPage()->LeftEdit(), QStringLiteral("99999"));
    EXPECT_EQ(View()->Strip(1)->CursorPosition(), 3999u);
}

TEST_F(Properties, ArrowsMoveTheSelectionEdgesOneFrameAndKeepThemInOrder) {
    Start(SampleLayout::Mono16, 8000, 4000);
    CWaveWnd* strip = View()->Strip(0);
    strip->SetSelection(100, 102);
    struct Step {
        CSpinEdit* spin;
        Qt::Key key;
        quint32 start;
        quint32 end;
    };
    const Step steps[] = {
        {ViewPage()->LeftEdit(), Qt::Key_Up, 101, 102},
        {ViewPage()->RightEdit(), Qt::Key_Down, 101, 101},
        {ViewPage()->RightEdit(), Qt::Key_Down, 101, 101},
        {ViewPage()->LeftEdit(), Qt::Key_Up, 101, 101},
        {ViewPage()->LeftEdit(), Qt::Key_Down, 100, 101},
    };
    for (const Step& s : steps) {
        QTest::keyClick(s.spin, s.key);
        EXPECT_EQ(strip->SelectionStart(), s.start);
        EXPECT_EQ(strip->SelectionEnd(), s.end);
        EXPECT_EQ(ViewPage()->LeftEdit()->Text(), QString::number(s.start));
    }
}

TEST_F(Properties, TheScaleZoomsFromTheStartAndOneToOneShowsEveryFrame) {
    Start(SampleLayout::Stereo16, 44100, 1000000);
    CSpinEdit* scale = ViewPage()->ScaleEdit();
    EXPECT_EQ(scale->Text(), QStringLiteral("%1:1").arg(View()->Strip(0)->Scale()));
    struct Case {
        std::function<void()> act;
        quint32 scale;
    };
    const Case cases[] = {
        {[&] { TypeAndReturn(scale, QStringLiteral("100:1")); }, 100},
        {[&] { QTest::keyClick(scale, Qt::Key_Up); }, 101},
        {[&] { TypeAndReturn(scale, QStringLiteral("0")); }, 1},
        {[&] { TypeAndReturn(scale, QStringLiteral("250")); }, 250},
        {[&] { ViewPage()->OneToOneButton()->click(); }, 1},
    };
    for (const Case& c : cases) {
        View()->ScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        c.act();
        for (CWaveWnd* strip : {View()->Strip(0), View()->Strip(1)}) {
            EXPECT_EQ(strip->Scale(), c.scale);
            EXPECT_EQ(strip->First(), 0u);
        }
        EXPECT_EQ(scale->Text(), QStringLiteral("%1:1").arg(c.scale));
        EXPECT_EQ(app->Frame()->StatusPane(5), QStringLiteral("%1:1").arg(c.scale));
    }
}

TEST_F(Properties, StyleRadiosRedrawBothStrips) {
    Start(SampleLayout::Stereo16, 8000, 4000);
    QImage previous = View()->Strip(1)->grab().toImage();
    for (CStripStyle style : {CStripStyle::Lines, CStripStyle::Dots, CStripStyle::Bars,
                              CStripStyle::Peaks, CStripStyle::Spectrum}) {
        ViewPage()->StyleButton(style)->click();
        EXPECT_EQ(View()->Strip(0)->Style(), style);
        EXPECT_EQ(View()->Strip(1)->Style(), style);
        const QImage drawn = View()->Strip(1)->grab().toImage();
        EXPECT_NE(drawn, previous) << int(style);
        previous = drawn;
    }
    // The page follows a style set elsewhere.
    View()->Strip(0)->SetStyle(CStripStyle::Dots);
    View()->UpdateStatus();
    EXPECT_TRUE(ViewPage()->StyleButton(CStripStyle::Dots)->isChecked());
}

// The View menu's "Style" pop-up and the View page's style buttons are two faces of one setting:
// choosing in either shows in both, and the strips draw it.
TEST_F(Properties, TheStyleMenuAndTheViewPageAgree) {
    Start(SampleLayout::Stereo16, 8000, 4000);
    CMainFrame* frame = app->Frame();
    const struct {
        CommandId id;
        CStripStyle style;
        const char* text;
    } styles[] = {{CommandId::StyleLines, CStripStyle::Lines, "&Lines"},
                  {CommandId::StyleDots, CStripStyle::Dots, "&Dots"},
                  {CommandId::StyleBars, CStripStyle::Bars, "&Bars"},
                  {CommandId::StylePeaks, CStripStyle::Peaks, "&Peaks"},
                  {CommandId::StyleSpectrum, CStripStyle::Spectrum, "&Spectrum"}};
    QMenu* view = nullptr;
    for (QAction* title : frame->menuBar()->actions())
        if (title->text() == QStringLiteral("&View"))
            view = title->menu();
    ASSERT_NE(view, nullptr);
    QMenu* menu = nullptr;
    for (QAction* item : view->actions())
        if (item->text() == QStringLiteral("&Style"))
            menu = item->menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 5);
    auto shown = [&](CStripStyle style) {
        for (const auto& c : styles) {
            EXPECT_EQ(frame->Action(c.id)->isChecked(), c.style == style) << c.text;
            EXPECT_EQ(ViewPage()->StyleButton(c.style)->isChecked(), c.style == style) << c.text;
        }
        for (CWaveWnd* strip : {View()->Strip(0), View()->Strip(1)})
            EXPECT_EQ(strip->Style(), style);
    };
    shown(CStripStyle::Peaks);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(menu->actions().at(i)->text(), QString::fromLatin1(styles[i].text));
        EXPECT_TRUE(menu->actions().at(i)->isCheckable());
        // The menu item, then the page's button of the next style.
        menu->actions().at(i)->trigger();
        shown(styles[i].style);
        const auto& next = styles[(i + 2) % 5];
        ViewPage()->StyleButton(next.style)->click();
        shown(next.style);
    }
}

// ----- Information page ------------------------------------------------------------------------

TEST_F(Properties, InformationTextsGoIntoTheSampleAndMarkItChanged) {
    Start(SampleLayout::Mono8, 8000, 100);
    struct Case {
        std::function<void(const QString&)> type;
        int index;
    };
    const Case cases[] = {
        {[&](const QString& t) { QTest::keyClicks(Info()->NameEdit(), t); }, InfoName},
        {[&](const QString& t) { QTest::keyClicks(Info()->ArtistEdit(), t); }, InfoArtist},
        {[&](const QString& t) { QTest::keyClicks(Info()->CommentsEdit(), t); }, InfoComments},
        {[&](const QString& t) { QTest::keyClicks(Info()->CopyrightEdit(), t); }, InfoCopyright},
    };
    for (const Case& c : cases) {
        Doc()->SetModified(false);
        const QString text = QStringLiteral("text %1").arg(c.index);
        c.type(text);
        EXPECT_EQ(Buffer().GetInfo(c.index), text);
        EXPECT_TRUE(Doc()->IsModified()) << c.index;
    }
    // Texts the sample gets elsewhere show when the view reports.
    Buffer().SetInfo(InfoArtist, QStringLiteral("Someone"));
    View()->UpdateStatus();
    EXPECT_EQ(Info()->ArtistEdit()->text(), QStringLiteral("Someone"));
}

TEST_F(Properties, ATextIsCutAtItsFirstNulWithAMessage) {
    Start(SampleLayout::Mono8, 8000, 100);
    Info()->NameEdit()->setFocus();
    Info()->NameEdit()->insert(QStringLiteral("before") + QChar(u'\0') + QStringLiteral("after"));
    emit Info()->NameEdit()->textEdited(Info()->NameEdit()->text());
    EXPECT_EQ(Buffer().GetInfo(InfoName), QStringLiteral("before"));
    EXPECT_EQ(Info()->NameEdit()->text(), QStringLiteral("before"));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.first().text.contains(QStringLiteral("null")));
}

// Each cut keeps whole characters only, so the text reads back from a wave file as written.
TEST(InfoTextFit, CutsAtWholeCharactersThatAWaveFileReadsBackAlike) {
    const QString text = QStringLiteral("a\u00e9\u20ac") + QString::fromUcs4(U"\U0001F600") +
                         QStringLiteral("z"); // 1 + 2 + 3 + 4 + 1 bytes of UTF-8
    const QString kept[] = {"",
                            "a",
                            "a",
                            "a\u00e9",
                            "a\u00e9",
                            "a\u00e9",
                            "a\u00e9\u20ac",
                            "a\u00e9\u20ac",
                            "a\u00e9\u20ac",
                            "a\u00e9\u20ac",
                            QStringLiteral("a\u00e9\u20ac") + QString::fromUcs4(U"\U0001F600"),
                            text};
    QTemporaryDir dir;
    for (quint64 room = 0; room < std::size(kept); ++room) {
        const CFittedText fitted = FitInfoText(text, room);
        EXPECT_EQ(fitted.text, kept[room]) << room;
        EXPECT_EQ(fitted.cut, room < 11 ? CInfoCut::AtRoom : CInfoCut::None) << room;
        EXPECT_LE(quint64(fitted.text.toUtf8().size()), room);
        CSampleBuffer buffer;
        FillSample(buffer, SampleLayout::Mono8, 8000, {1, 2, 3});
        buffer.SetInfo(InfoName, fitted.text);
        const QString path = dir.filePath(QStringLiteral("t.wav"));
        ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
        CSampleBuffer back;
        ASSERT_EQ(back.LoadFile(path, FileKind::Wave), 1);
        EXPECT_EQ(back.GetInfo(InfoName), fitted.text) << room;
    }
    EXPECT_EQ(FitInfoText(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("cd"), 1).cut,
              CInfoCut::AtRoom);
    EXPECT_EQ(FitInfoText(QStringLiteral("ab") + QChar(u'\0'), 9).text, QStringLiteral("ab"));
}

// The room a text has is what the RIFF form's 32-bit size leaves beside what the writer puts
// in the file; checked against files the writer really wrote.
TEST(InfoTextFit, RoomIsWhatTheRiffSizeLeavesBesideTheWrittenFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.wav"));
    struct Case {
        quint32 frames;
        QString name;
        QString artist;
    };
    // Names of odd UTF-8 length keep their chunk free of a pad byte.
    const Case cases[] = {{3, "n", ""}, {4, "nam", "artist"}, {1001, "a\u00e9", "xy"}};
    for (const Case& c : cases) {
        CSampleBuffer buffer;
        FillSample(buffer, SampleLayout::Mono8, 8000, Values(c.frames, 128));
        buffer.SetInfo(InfoName, c.name);
        buffer.SetInfo(InfoArtist, c.artist);
        ASSERT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray head = file.read(8);
        const quint64 riffSize =
            wlpro::ReadLE32(reinterpret_cast<const quint8*>(head.constData() + 4));
        QByteArrayList others;
        for (int i = 0; i < InfoTextCount; ++i)
            if (i != InfoName)
                others.append(buffer.GetInfo(i).toUtf8());
        const quint64 length = quint64(c.name.toUtf8().size());
        EXPECT_EQ(WaveTextRoom(buffer.GetByteLength(), others),
                  0xFFFFFFFFull - riffSize + length - 1)
            << c.frames;
        // The writer's own name under ISFT is within what the room keeps for it.
        const quint64 room = InfoTextRoom(buffer, InfoName);
        EXPECT_LE(room, WaveTextRoom(buffer.GetByteLength(), others));
        EXPECT_GE(room + 64, WaveTextRoom(buffer.GetByteLength(), others));
    }
    // A sample that fills the form leaves no room; one byte less of data, still none for a
    // text with its NUL and pad.
    EXPECT_EQ(WaveTextRoom(0xFFFFFFFFull - 56, {}), 0u);
    EXPECT_EQ(WaveTextRoom(0xFFFFFFFFull - 58, {}), 0u);
    EXPECT_EQ(WaveTextRoom(0xFFFFFFFFull - 60, {}), 1u);
    EXPECT_EQ(WaveTextRoom(1000, {"abc"}), WaveTextRoom(1000, {}) - 12);
    EXPECT_EQ(WaveTextRoom(1000, {"abcd"}), WaveTextRoom(1000, {}) - 14);
}

// ----- The window ------------------------------------------------------------------------------

TEST_F(Properties, TheCloseBoxHidesUntilThePropertiesCommand) {
    Start(SampleLayout::Mono8, 8000, 100);
    props->ShowProperties();
    EXPECT_TRUE(props->isVisible());
    EXPECT_EQ(props->ShowCommand(), CSampleProperties::kShown);
    props->close();
    EXPECT_FALSE(props->isVisible());
    EXPECT_EQ(props->Sheet()->ShowCommand(), CSampleProperties::kHidden);
    View()->UpdateStatus();
    EXPECT_FALSE(props->isVisible());
    props->ShowProperties();
    props->hide();
    View()->UpdateStatus();
    EXPECT_TRUE(props->isVisible());
}

TEST_F(Properties, PlacingFromTheProfileMovesAndShowsOrHides) {
    Start(SampleLayout::Mono8, 8000, 100);
    for (int command : {CSampleProperties::kHidden, CSampleProperties::kShown}) {
        props->Place(QPoint(CMiniPropDlg::kDefaultX + command, CMiniPropDlg::kDefaultY), command);
        EXPECT_EQ(props->isVisible(), command == CSampleProperties::kShown);
        EXPECT_EQ(props->ShowCommand(), command);
        EXPECT_EQ(props->Position(), QPoint(CMiniPropDlg::kDefaultX + command, 400));
    }
    EXPECT_EQ(props->windowTitle(), QStringLiteral("Sample Properties"));
    EXPECT_TRUE(props->windowFlags() & Qt::Tool);
}

// Shown before its owner, the window would end up below it: it follows the owner instead.
TEST(PropertiesWindow, PlacedShownBeforeItsOwnerItAppearsAfterIt) {
    for (int last : {CSampleProperties::kShown, CSampleProperties::kHidden}) {
        QWidget owner;
        CMiniPropDlg props(&owner);
        props.Place(QPoint(10, 20), CSampleProperties::kShown);
        props.Place(QPoint(30, 40), last);
        EXPECT_FALSE(props.isVisible());
        owner.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(props.isVisible(), last == CSampleProperties::kShown);
        EXPECT_EQ(props.Position(), QPoint(30, 40));
    }
}

TEST_F(Properties, AClosedViewIsForgottenAndTheNextViewBringsTheWindowBack) {
    Start(SampleLayout::Mono8, 8000, 100);
    props->ShowProperties();
    CWlproView* closing = View();
    app->Frame()->Dispatch(CommandId::CloseAll);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(props->Sheet()->View(), nullptr);
    EXPECT_FALSE(props->isVisible());
    EXPECT_FALSE(Format()->isEnabled());
    EXPECT_EQ(Format()->FrequencyEdit()->Text(), QString());
    EXPECT_FALSE(Format()->Bits8()->isChecked() || Format()->Bits16()->isChecked());
    EXPECT_EQ(props->Sheet()->ShowCommand(), CSampleProperties::kShown);
    app->Frame()->Dispatch(CommandId::FileNew);
    ASSERT_NE(View(), closing);
    props->SetView(View());
    EXPECT_TRUE(props->isVisible());
    EXPECT_TRUE(ViewPage()->isEnabled());
    EXPECT_EQ(Format()->FrequencyEdit()->Text(),
              QStringLiteral("%1 Hz").arg(View()->Document()->Buffer().GetRate()));
}

TEST_F(Properties, TheViewKeepsItsMarksWhileThePropertiesWindowHasTheFocus) {
    Start(SampleLayout::Stereo16, 8000, 4000);
    View()->Strip(0)->SetSelection(10, 20);
    View()->Strip(1)->SetSelection(10, 20);
    props->ShowProperties();
    ASSERT_TRUE(QTest::qWaitForWindowActive(props.get()));
    TypeInto(ViewPage()->RightEdit(), QStringLiteral("30"));
    EXPECT_EQ(app->Frame()->ActiveView(), props->Sheet()->View());
    for (CWaveWnd* strip : {View()->Strip(0), View()->Strip(1)}) {
        EXPECT_FALSE(strip->MarksHidden());
        EXPECT_TRUE(strip->HasSelection());
        EXPECT_EQ(strip->SelectionEnd(), 30u);
    }
}

} // namespace
