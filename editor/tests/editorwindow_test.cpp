// The editor as a user drives it: the frame with its menus, panes and tool bars, documents and
// their windows, the view's ranges, zoom and scroll, edits with undo and redo through the
// command dispatcher, closing with and without saving, drops, and settings that outlive a run.

#include "capturereporter.h"
#include "filebytes.h"
#include "samplemaker.h"

#include "ui/docwindow.h"
#include "ui/frameprompts.h"
#include "ui/mainframe.h"
#include "ui/minipropdlg.h"
#include "ui/rulerwnd.h"
#include "ui/sampleproperties.h"
#include "ui/wavewnd.h"
#include "ui/wlproapp.h"
#include "ui/wlproview.h"

#include "core/wlprodoc.h"

#include "platform/settingsstore.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>

namespace {

// Answers the frame's questions from a script and counts them.
class CScriptedPrompts : public CFramePrompts {
public:
    QString OpenPath(QWidget*, int&) override { return Next(openPaths); }
    QString SavePath(QWidget*, const QString&) override { return Next(savePaths); }
    CSaveAnswer AskSaveChanges(QWidget*, const QString& title) override {
        asked.append(title);
        if (answers.empty())
            return CSaveAnswer::Cancel;
        const CSaveAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    CLossAnswer AskSaveLoss(QWidget*, const QString& loss) override {
        lossesAsked.append(loss);
        if (lossAnswers.empty())
            return CLossAnswer::Cancel;
        const CLossAnswer answer = lossAnswers.front();
        lossAnswers.pop_front();
        return answer;
    }

    std::deque<QString> openPaths;
    std::deque<QString> savePaths;
    std::deque<CSaveAnswer> answers;
    QStringList asked;
    std::deque<CLossAnswer> lossAnswers;
    QStringList lossesAsked;

private:
    static QString Next(std::deque<QString>& queue) {
        if (queue.empty())
            return QString();
        const QString path = queue.front();
        queue.pop_front();
        return path;
    }
};

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        QGuiApplication::clipboard()->clear();
        settings = std::make_unique<CSettingsStore>(dir.filePath(QStringLiteral("settings")));
    }
    void TearDown() override {
        if (app && app->Frame())
            for (CDocWindow* window : app->Frame()->DocumentWindows())
                window->View()->Document()->SetModified(false);
        app.reset();
    }

    CMainFrame* Start(const QStringList& files = {}) {
        app = std::make_unique<CWlproApp>(*settings, &prompts, false);
        app->Start(files);
        return app->Frame();
    }

    // A 16-bit wave file of `frames` frames of a ramp, mono or stereo, at 44100 Hz.
    QString MakeWave(const QString& name, quint32 frames, bool stereo) {
        Values values;
        for (quint32 i = 0; i < frames * (stereo ? 2 : 1); ++i)
            values.push_back(int(i % 2000) - 1000);
        CSampleBuffer buffer;
        FillSample(buffer, MakeLayout(stereo, true), 44100, values);
        const QString path = dir.filePath(name);
        EXPECT_EQ(buffer.SaveFile(path, FileKind::Wave), 1);
        return path;
    }

    CWlproView* View() { return app->Frame()->ActiveView(); }
    QStringList Titles() {
        QStringList titles;
        for (CDocWindow* window : app->Frame()->DocumentWindows())
            titles.append(window->windowTitle().remove(QStringLiteral("[*]")));
        return titles;
    }
    bool Enabled(CommandId id) {
        app->Frame()->UpdateCommands();
        return app->Frame()->Action(id)->isEnabled();
    }
    QStringList MenuTitles() {
        QStringList titles;
        for (QAction* action : app->Frame()->menuBar()->actions())
            titles.append(action->text());
        return titles;
    }
    // A drag in a strip from column x1 to x2, with `modifiers` held.
    static void Drag(CWaveWnd* strip, int x1, int x2, Qt::KeyboardModifiers modifiers = {}) {
        const int y = strip->height() / 2;
        QTest::mousePress(strip, Qt::LeftButton, modifiers, QPoint(x1, y));
        QTest::mouseMove(strip, QPoint(x2, y));
        QTest::mouseRelease(strip, Qt::LeftButton, modifiers, QPoint(x2, y));
    }

    QTemporaryDir dir;
    std::unique_ptr<CSettingsStore> settings;
    CScriptedPrompts prompts;
    CCaptureReporter reporter;
    std::unique_ptr<CWlproApp> app;
};

TEST_F(EditorWindow, StartsWithANewDocumentThenTheCommandLineFilesInOrder) {
    const QString a = MakeWave(QStringLiteral("a.wav"), 1000, false);
    const QString b = MakeWave(QStringLiteral("b.wav"), 1000, true);
    Start({a, dir.filePath(QStringLiteral("missing.wav")), b});
    EXPECT_EQ(Titles(), (QStringList{"Wlpro1", "a.wav", "b.wav"}));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.first().text.contains(QStringLiteral("missing.wav")));
    EXPECT_TRUE(View()->IsStereo());
}

TEST_F(EditorWindow, MenusShrinkWithoutADocumentAndComeBackWithOne) {
    Start();
    const QStringList full{"&File", "&Edit", "&Sample", "&View", "&Window", "&Help"};
    EXPECT_EQ(MenuTitles(), full);
    app->Frame()->Dispatch(CommandId::CloseAll);
    QCoreApplication::processEvents();
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&View", "&Help"}));
    EXPECT_FALSE(Enabled(CommandId::FileSave));
    app->Frame()->Dispatch(CommandId::FileNew);
    EXPECT_EQ(MenuTitles(), full);
    EXPECT_EQ(Titles(), QStringList{"Wlpro2"});
}

TEST_F(EditorWindow, StatusPanesDescribeTheActiveSample) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("s.wav"), 44100, true)});
    const QStringList expected{"176400 bytes", "16 Bit", "44100 Hz", "1.00 secs",
                               QStringLiteral("%1:1").arg(View()->Strip(0)->Scale())};
    for (int pane = 1; pane <= CMainFrame::kPaneCount; ++pane)
        EXPECT_EQ(frame->StatusPane(pane), expected.at(pane - 1)) << pane;
    frame->MdiArea()->activatePreviousSubWindow();
    EXPECT_EQ(frame->StatusPane(1), QStringLiteral("0 bytes"));

    // With the last document gone no pane speaks of a sample.
    frame->Dispatch(CommandId::CloseAll);
    QCoreApplication::processEvents();
    for (int pane = 1; pane <= CMainFrame::kPaneCount; ++pane)
        EXPECT_EQ(frame->StatusPane(pane), QString()) << pane;
}

// The caption as the desktop shows it names the active document, maximised or not, once.
TEST_F(EditorWindow, TheCaptionNamesTheActiveDocument) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("tone.wav"), 1000, true)});
    auto caption = [frame] { return frame->windowHandle()->title(); };
    EXPECT_EQ(caption(), "Wavelathe Pro - tone.wav");
    frame->MdiArea()->activeSubWindow()->showMaximized();
    QCoreApplication::processEvents();
    EXPECT_EQ(caption(), "Wavelathe Pro - tone.wav");
    View()->Document()->SetModified(true);
    EXPECT_EQ(caption(), "Wavelathe Pro - tone.wav*");
    // Save As renames the document, and the caption follows.
    prompts.savePaths = {dir.filePath(QStringLiteral("named.wav"))};
    frame->Dispatch(CommandId::FileSaveAs);
    EXPECT_EQ(caption(), "Wavelathe Pro - named.wav");

    frame->MdiArea()->activatePreviousSubWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(caption(), "Wavelathe Pro - Wlpro1");
    frame->MdiArea()->activeSubWindow()->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(caption(), "Wavelathe Pro - Wlpro1");
    frame->Dispatch(CommandId::CloseAll);
    QCoreApplication::processEvents();
    EXPECT_EQ(caption(), "Wavelathe Pro");
}

TEST_F(EditorWindow, SelectionRangeFollowsTheGestures) {
    Start({MakeWave(QStringLiteral("s.wav"), 20000, true)});
    CWlproView* view = View();
    CWaveWnd* left = view->Strip(0);
    CWaveWnd* right = view->Strip(1);
    const quint32 n = left->Scale();
    struct Case {
        CWaveWnd* strip;
        Qt::KeyboardModifiers modifiers;
        int channel;
    };
    for (const Case& c : {Case{left, {}, 0}, Case{right, {}, 0}, Case{left, Qt::ControlModifier, 1},
                          Case{right, Qt::ControlModifier, 2}}) {
        Drag(c.strip, 10, 40, c.modifiers);
        const CWlproView::CRange range = view->GetSelectionRange();
        EXPECT_TRUE(range.valid);
        EXPECT_EQ(range.channel, c.channel);
        EXPECT_EQ(range.first, qint64(10 * n));
        EXPECT_EQ(range.last, qint64(40 * n));
    }
    // A click leaves a cursor: range commands then act on the whole sample.
    QTest::mouseClick(left, Qt::LeftButton, {}, QPoint(5, 5));
    const CWlproView::CRange all = view->GetSelectionRange();
    EXPECT_EQ(all.first, 0);
    EXPECT_EQ(all.last, 19999);
    EXPECT_EQ(all.channel, 0);
}

TEST_F(EditorWindow, ZoomAndScrollMoveBothStripsAndTheThumb) {
    Start({MakeWave(QStringLiteral("s.wav"), 200000, true)});
    CWlproView* view = View();
    CWaveWnd* left = view->Strip(0);
    view->Execute(CommandId::ZoomOut);
    const quint32 wholeScale = left->Scale();
    view->Execute(CommandId::ZoomIn); // a cursor only: nothing to zoom to
    EXPECT_EQ(left->Scale(), wholeScale);

    left->SetSelection(50000, 50000 + left->width() * 4 - 1);
    view->Execute(CommandId::ZoomIn);
    EXPECT_EQ(left->First(), 50000u);
    EXPECT_EQ(view->Strip(1)->First(), 50000u);
    // The scale rounds up while the range is less than the whole sample.
    EXPECT_EQ(left->Scale(), 5u);
    const double maxFirst = 200000.0 - left->Page();
    EXPECT_EQ(view->ScrollBar()->value(), int(50000 / maxFirst * CWlproView::kScrollRange));

    view->ScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCoreApplication::processEvents();
    EXPECT_EQ(left->First(), 50000u + left->Line());
    EXPECT_EQ(view->Strip(1)->First(), left->First());
    EXPECT_EQ(view->ScrollBar()->value(), int(left->First() / maxFirst * CWlproView::kScrollRange));
    view->ScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    QCoreApplication::processEvents();
    EXPECT_EQ(left->First(), 0u);
    EXPECT_EQ(view->ScrollBar()->value(), 0);

    view->Execute(CommandId::ZoomOut);
    EXPECT_EQ(left->Scale(), wholeScale);
}

// A right press zooms to the selection wherever it lands in the view, not only on a strip.
TEST_F(EditorWindow, ARightPressAnywhereInTheViewZoomsToTheSelection) {
    Start({MakeWave(QStringLiteral("s.wav"), 200000, true)});
    CWlproView* view = View();
    CWaveWnd* left = view->Strip(0);
    const QRect ruler = view->Ruler()->rect();
    const std::pair<QWidget*, QPoint> places[] = {
        {left, QPoint(20, 20)},
        {view->Ruler(), ruler.center()},
        {view, QPoint(2, 2)},
        {view, QPoint(view->width() / 2, left->geometry().bottom() + 5)},
    };
    for (const auto& [target, point] : places) {
        view->Execute(CommandId::ZoomOut);
        left->SetSelection(60000, 60000 + left->width() * 4 - 1);
        QTest::mousePress(target, Qt::RightButton, {}, point);
        EXPECT_EQ(left->First(), 60000u) << target->metaObject()->className();
        EXPECT_EQ(view->Strip(1)->First(), 60000u);
        EXPECT_EQ(left->Scale(), 5u);
        QTest::mouseRelease(target, Qt::RightButton, {}, point);
    }
}

TEST_F(EditorWindow, EditsAreUndoneAndRedoneThroughTheMenuAndEveryWindowFollows) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("s.wav"), 10000, false)});
    CWlproDoc* doc = View()->Document();
    const CSampleState original = CSampleState::Of(doc->Buffer());
    frame->Dispatch(CommandId::WindowNew);
    ASSERT_EQ(Titles(), (QStringList{"Wlpro1", "s.wav:1", "s.wav:2"}));
    CWlproView* second = View();

    EXPECT_FALSE(Enabled(CommandId::EditUndo));
    second->Strip(0)->SetSelection(1000, 2999);
    frame->Dispatch(CommandId::Delete);
    EXPECT_EQ(doc->Buffer().GetFrameCount(), 8000u);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(second->Strip(0)->CursorPosition(), 1000u);
    frame->MdiArea()->activatePreviousSubWindow();
    EXPECT_EQ(frame->StatusPane(1), QStringLiteral("16000 bytes"));

    frame->Dispatch(CommandId::Reverse);
    ASSERT_TRUE(Enabled(CommandId::EditUndo));
    frame->Dispatch(CommandId::EditUndo);
    frame->Dispatch(CommandId::EditUndo);
    EXPECT_TRUE(CSampleState::Of(doc->Buffer()) == original);
    EXPECT_FALSE(doc->IsModified()) << "back to the file as it was opened";
    EXPECT_FALSE(Enabled(CommandId::EditUndo));
    frame->Dispatch(CommandId::Redo);
    EXPECT_EQ(doc->Buffer().GetFrameCount(), 8000u);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(Enabled(CommandId::Redo));
    // A change the history does not hold keeps the document modified whatever is undone.
    doc->SetModified(true);
    frame->Dispatch(CommandId::EditUndo);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(EditorWindow, CutThenPasteAtTheCursorAndOverASelectionThatReachesTheEnd) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("s.wav"), 1000, false)});
    CWlproView* view = View();
    CWlproDoc* doc = view->Document();
    const Values original = ValuesOf(doc->Buffer());
    EXPECT_FALSE(Enabled(CommandId::EditPaste));

    view->Strip(0)->SetSelection(100, 199);
    frame->Dispatch(CommandId::EditCut);
    EXPECT_EQ(doc->Buffer().GetFrameCount(), 900u);
    ASSERT_TRUE(Enabled(CommandId::EditPaste));
    view->Strip(0)->SetCursor(100);
    frame->Dispatch(CommandId::EditPaste);
    EXPECT_EQ(ValuesOf(doc->Buffer()), original);
    EXPECT_EQ(view->Strip(0)->CursorPosition(), 200u);

    // The clip replaces the last 50 frames and ends up at the end, in one undo step.
    view->Strip(0)->SetSelection(950, 999);
    frame->Dispatch(CommandId::EditPaste);
    const Values pasted = ValuesOf(doc->Buffer());
    ASSERT_EQ(pasted.size(), 1050u);
    EXPECT_EQ(Values(pasted.begin() + 950, pasted.end()),
              Values(original.begin() + 100, original.begin() + 200));
    frame->Dispatch(CommandId::EditUndo);
    EXPECT_EQ(ValuesOf(doc->Buffer()), original);
}

TEST_F(EditorWindow, ClosingAsksForChangedDocumentsAndCancelStops) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("a.wav"), 1000, false),
                               MakeWave(QStringLiteral("b.wav"), 1000, false)});
    for (CDocWindow* window : frame->DocumentWindows())
        window->View()->Document()->SetModified(true);
    prompts.answers = {CFramePrompts::CSaveAnswer::Discard, CFramePrompts::CSaveAnswer::Cancel};
    EXPECT_FALSE(frame->CloseAllDocuments());
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.asked, (QStringList{"Wlpro1", "a.wav"}));
    EXPECT_EQ(Titles(), (QStringList{"a.wav", "b.wav"}));
    EXPECT_FALSE(frame->close());

    // Saving on the way out: a document without a file asks where to save it.
    frame->Dispatch(CommandId::FileNew);
    View()->Document()->SetModified(true);
    const QString saved = dir.filePath(QStringLiteral("new.wav"));
    prompts.answers.assign(3, CFramePrompts::CSaveAnswer::Save);
    prompts.savePaths = {saved};
    EXPECT_TRUE(frame->close());
    EXPECT_TRUE(QFile::exists(saved));
}

// The application keeps the documents and the frame the windows: a file that is open comes
// forward when opened again, and once its last window has closed the document goes and the file
// opens anew.
TEST_F(EditorWindow, OpeningAnOpenFileBringsItsWindowForwardAndAClosedOneOpensAnew) {
    constexpr int kCloseDeadlineMs = 5000;
    const QString a = MakeWave(QStringLiteral("a.wav"), 1000, false);
    CMainFrame* frame = Start({a, MakeWave(QStringLiteral("b.wav"), 1000, false)});
    const QPointer<CWlproDoc> opened = frame->DocumentWindows().at(1)->View()->Document();
    EXPECT_TRUE(app->OpenDocumentFile(a));
    EXPECT_EQ(Titles(), (QStringList{"Wlpro1", "a.wav", "b.wav"}));
    EXPECT_EQ(View()->Document(), opened);

    frame->MdiArea()->activeSubWindow()->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.isNull(); }, kCloseDeadlineMs));
    EXPECT_TRUE(app->OpenDocumentFile(a));
    EXPECT_EQ(Titles(), (QStringList{"Wlpro1", "b.wav", "a.wav"}));
}

TEST_F(EditorWindow, AFailedSaveSaysSoAndKeepsTheChanges) {
    const QString path = MakeWave(QStringLiteral("a.wav"), 1000, false);
    CMainFrame* frame = Start({path});
    View()->Strip(0)->SetSelection(0, 99);
    frame->Dispatch(CommandId::Delete);
    prompts.savePaths = {dir.filePath(QStringLiteral("no such folder/a.wav"))};
    frame->Dispatch(CommandId::FileSaveAs);
    EXPECT_TRUE(View()->Document()->IsModified());
    EXPECT_EQ(View()->Document()->Path(), path);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_TRUE(reporter.messages.first().text.startsWith(QStringLiteral("Could not save")));
}

// A save that would keep less asks first: Cancel writes nothing, Save As goes to another file
// and leaves the old one whole, Save replaces it with what the document holds.
TEST_F(EditorWindow, SavingOverASixChannelFileAsksFirst) {
    using A = CFramePrompts::CLossAnswer;
    struct Case {
        A answer;
        const char* saveAsName;
        bool oldFileKept;
    };
    for (const Case& c :
         {Case{A::Cancel, "", true}, Case{A::SaveAs, "mix.wav", true}, Case{A::Save, "", false}}) {
        SCOPED_TRACE(int(c.answer));
        QByteArray six;
        for (int i = 0; i < 6 * 100; ++i)
            six.append(char(i)).append(char(i >> 8));
        const QByteArray file = WaveFile(
            CFileBytes().Chunk("fmt ", FormatBody(1, 6, 8000, 16)).Chunk("data", six).Bytes());
        const QString path = WriteFile(dir, QStringLiteral("five-one.wav"), file);
        CMainFrame* frame = Start({path});
        EXPECT_EQ(Titles().last(), QStringLiteral("five-one.wav (6 channels mixed to stereo)"));
        EXPECT_EQ(frame->statusBar()->currentMessage(),
                  QStringLiteral("five-one.wav: 6 channels mixed to stereo"));
        prompts.lossesAsked.clear();
        prompts.lossAnswers = {c.answer};
        prompts.savePaths = {dir.filePath(QString::fromLatin1(c.saveAsName))};
        frame->Dispatch(CommandId::FileSave);

        EXPECT_EQ(prompts.lossesAsked, QStringList{QStringLiteral(
                                           "five-one.wav holds 6 channels; Wavelathe edits mono "
                                           "and stereo. Saving replaces it with the stereo mix.")});
        EXPECT_EQ(ReadFile(path) == file, c.oldFileKept);
        CSampleBuffer saved;
        const QString savedPath =
            c.answer == A::SaveAs ? dir.filePath(QString::fromLatin1(c.saveAsName)) : path;
        ASSERT_EQ(saved.LoadFile(savedPath, FileKind::Wave), 1);
        EXPECT_EQ(saved.GetFileOrigin().channels, c.answer == A::Cancel ? 6u : 2u);
        // Once saved, the document is the file's, and the note goes.
        EXPECT_EQ(Titles().last().contains(QStringLiteral("mixed")), c.answer == A::Cancel);
        app.reset();
        QFile::remove(path);
    }
}

TEST_F(EditorWindow, AThirtyTwoBitIntegerFileSaysItIsHeldAsFloat) {
    const QString path = WriteFile(
        dir, QStringLiteral("int32.wav"),
        WaveFile(CFileBytes()
                     .Chunk("fmt ", FormatBody(1, 1, 8000, 32))
                     .Chunk("data", CFileBytes().LE32(0x40000000).LE32(0x80000000).Bytes())
                     .Bytes()));
    CMainFrame* frame = Start({path});
    EXPECT_EQ(View()->Document()->Buffer().GetLayout(), SampleLayout::MonoFloat);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("int32.wav: 32-bit integer samples held as 32-bit float"));
    EXPECT_EQ(Titles().last(),
              QStringLiteral("int32.wav (32-bit integer samples held as 32-bit float)"));
}

TEST_F(EditorWindow, SavingAFloatSampleAsAVoiceFileAsksFirst) {
    CSampleBuffer source;
    source.SetFormat(8000, false, SampleDepth::Float32);
    ASSERT_EQ(source.InsertFrames(0, 4, 0), 1);
    const float values[] = {0.5f, -1.0f, 0.25f, 0.0f};
    std::memcpy(source.GetData(), values, sizeof values);
    const QString path = dir.filePath(QStringLiteral("float.wav"));
    ASSERT_EQ(source.SaveFile(path, FileKind::Wave), 1);
    CMainFrame* frame = Start({path});
    const QString voice = dir.filePath(QStringLiteral("float.voc"));
    prompts.savePaths = {voice, voice};
    prompts.lossAnswers = {CFramePrompts::CLossAnswer::Cancel, CFramePrompts::CLossAnswer::Save};
    frame->Dispatch(CommandId::FileSaveAs);
    EXPECT_FALSE(QFile::exists(voice));
    frame->Dispatch(CommandId::FileSaveAs);
    const QString loss = QStringLiteral(
        "float.wav holds 32-bit float samples; a voice file keeps 8 bits. Saving rounds every "
        "sample to 8 bits and clips what lies beyond full scale.");
    EXPECT_EQ(prompts.lossesAsked, (QStringList{loss, loss}));
    CSampleBuffer saved;
    ASSERT_EQ(saved.LoadFile(voice, FileKind::Voice), 1);
    EXPECT_EQ(DataOf(saved), QByteArray("\xC0\x00\xA0\x80", 4));
}

// The desktop's question has Save As as its default button: Enter keeps the file as it was.
TEST_F(EditorWindow, TheSaveLossQuestionDefaultsToSaveAs) {
    CFramePrompts desktop;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        shown = box->text();
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(desktop.AskSaveLoss(nullptr, QStringLiteral("It loses.")),
              CFramePrompts::CLossAnswer::SaveAs);
    EXPECT_EQ(shown, QStringLiteral("It loses."));
}

TEST_F(EditorWindow, ToolBarsAndRecentFilesOutliveARestart) {
    CMainFrame* frame = Start();
    frame->Dispatch(CommandId::ViewUtilitiesToolBar);
    EXPECT_FALSE(frame->Action(CommandId::ViewUtilitiesToolBar)->isChecked());
    QStringList files;
    for (int i = 0; i < 5; ++i) {
        files.append(MakeWave(QStringLiteral("f%1.wav").arg(i), 100, false));
        app->OpenDocumentFile(files.last());
    }
    ASSERT_TRUE(frame->close());
    app.reset();

    frame = Start();
    EXPECT_TRUE(frame->UtilitiesBar()->isHidden());
    EXPECT_FALSE(frame->MainBar()->isHidden());
    EXPECT_FALSE(frame->Action(CommandId::ViewUtilitiesToolBar)->isChecked());
    EXPECT_EQ(settings->RecentFiles(), (QStringList{files[4], files[3], files[2], files[1]}));
    EXPECT_TRUE(frame->Action(CommandId::FileMru4)->isVisible());
    frame->Dispatch(CommandId::FileMru2);
    EXPECT_EQ(View()->Document()->Path(), files[3]);
}

TEST_F(EditorWindow, ThePropertiesWindowComesBackWhereAndAsItWasLeft) {
    CMainFrame* frame = Start();
    CMiniPropDlg* properties = frame->Properties();
    EXPECT_TRUE(properties->isVisible()); // a first start shows it at 600,400
    EXPECT_EQ(properties->Position(), QPoint(CMiniPropDlg::kDefaultX, CMiniPropDlg::kDefaultY));
    properties->Place(QPoint(123, 234), CSampleProperties::kShown);
    properties->close();
    ASSERT_TRUE(frame->close());
    app.reset();

    properties = Start()->Properties();
    EXPECT_FALSE(properties->isVisible());
    EXPECT_EQ(properties->Position(), QPoint(123, 234));
    app->Frame()->Dispatch(CommandId::Properties);
    EXPECT_TRUE(properties->isVisible());
}

TEST_F(EditorWindow, TheSampleMenuAndTheUtilitiesBarHoldEveryEffect) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("s.wav"), 1000, true)});
    auto ids = [frame](const QList<QAction*>& actions) {
        QList<CommandId> list;
        for (QAction* action : actions)
            for (CommandId id :
                 {CommandId::Play, CommandId::Record, CommandId::Amplify, CommandId::Convert,
                  CommandId::Envelope, CommandId::PeakSearch, CommandId::Reverse,
                  CommandId::StereoPanning, CommandId::ChangeSign, CommandId::DecodeULaw})
                if (frame->Action(id) == action)
                    list.append(id);
        return list;
    };
    const QList<CommandId> sample{
        CommandId::Play,       CommandId::Record,     CommandId::Amplify, CommandId::Convert,
        CommandId::Envelope,   CommandId::PeakSearch, CommandId::Reverse, CommandId::StereoPanning,
        CommandId::ChangeSign, CommandId::DecodeULaw};
    EXPECT_EQ(ids(frame->menuBar()->actions().at(2)->menu()->actions()), sample);
    EXPECT_EQ(ids(frame->UtilitiesBar()->actions()), sample.mid(2));
    for (CommandId id : sample)
        EXPECT_TRUE(Enabled(id)) << int(id);
}

TEST_F(EditorWindow, DroppedFilesOpenInTheOrderGiven) {
    CMainFrame* frame = Start();
    QList<QUrl> urls;
    for (const char* name : {"c.wav", "a.wav", "b.wav"})
        urls.append(QUrl::fromLocalFile(MakeWave(QString::fromLatin1(name), 100, false)));
    QMimeData mime;
    mime.setUrls(urls);
    // As a drag from a file manager arrives: it enters, then drops.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(frame, &drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Titles().size() == 4; }, 5000));
    EXPECT_EQ(Titles(), (QStringList{"Wlpro1", "c.wav", "a.wav", "b.wav"}));
}

TEST_F(EditorWindow, RangeCommandsAreGreyedWhileNeitherStripHasACursorOrSelection) {
    CMainFrame* frame = Start({MakeWave(QStringLiteral("s.wav"), 1000, true)});
    EXPECT_TRUE(Enabled(CommandId::Delete));
    Drag(View()->Strip(0), 5, 20, Qt::ControlModifier); // clears the right strip
    View()->Strip(0)->ClearSelectionAndCursor();
    for (CommandId id : {CommandId::Delete, CommandId::EditCopy, CommandId::EditCut,
                         CommandId::Reverse, CommandId::ChangeSign, CommandId::PeakSearch})
        EXPECT_FALSE(Enabled(id)) << int(id);
    EXPECT_TRUE(Enabled(CommandId::Play));
    frame->Dispatch(CommandId::Delete);
    EXPECT_EQ(View()->Document()->Buffer().GetFrameCount(), 1000u);
}

} // namespace
