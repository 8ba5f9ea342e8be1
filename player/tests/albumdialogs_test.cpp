// The album dialogs on a loaded album of the hand-driven drive: Edit Track, Add Track, Album
// Properties and About, and what every dialog shares (frames, ids, texts, tab order, fit).

#include "controllerfixture.h"
#include "fakeauxoutput.h"

#include "core/profile.h"
#include "platform/discripper.h"
#include "ui/3dframe.h"
#include "ui/aboutdlg.h"
#include "ui/addtrackdlg.h"
#include "ui/albumpropdlg.h"
#include "ui/choosemixerdlg.h"
#include "ui/dbmaintdlg.h"
#include "ui/editsongdlg.h"
#include "ui/queuelist.h"
#include "ui/ripdlg.h"
#include "ui/ripprogressdlg.h"

#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

QVector<quint32> TwelveTracks() {
    QVector<quint32> lengths;
    for (int track = 1; track <= 12; ++track)
        lengths << 60'000 + track * 7'000;
    return lengths;
}

class TTotal : public TDisplayFields {
public:
    void SetFieldText(int controlId, const QString& text) override {
        if (controlId == FieldTotal)
            total = text;
    }
    QString total;
};

QStringList Texts(const TSongListModel& model) {
    QStringList texts;
    for (int i = 0; i < model.Count(); ++i)
        texts << model.TextAt(i);
    return texts;
}

QFont QueueFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

} // namespace

class AlbumDialogs : public ControllerFixture {
protected:
    AlbumDialogs() : ControllerFixture(TwelveTracks()) { queueView.SetDisplay(&total); }
    TSongListModel& Queue() { return controller->Queue(); }
    TSongListModel& Titles() { return controller->Titles(); }
    QString Entry(int track, const QString& title) {
        return TCDAlbum::QueueEntry(track, title, controller->Album().TrackLength(track));
    }
    // Takes the rows of these tracks out of the queue.
    void RemoveTracks(const QList<int>& tracks) {
        for (int row = Queue().Count() - 1; row >= 0; --row)
            if (tracks.contains(Queue().TrackNumber(row)))
                Queue().Delete(row);
    }
    void Show(QDialog& dialog) {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }

    QWidget window;
    TTotal total;
    TQueueList queueView{&window, &controller->Queue()};
};

// Edit Track.

class EditTrack : public AlbumDialogs {
protected:
    void Retitle(TEditSongDlg& dialog, const QString& title) {
        dialog.TitleEdit()->selectAll();
        QTest::keyClicks(dialog.TitleEdit(), title);
        QTest::keyClick(dialog.TitleEdit(), Qt::Key_Return);
    }
};

TEST_F(EditTrack, EnterSavesTheTitleAndMovesToTheNextSong) {
    Load();
    Queue().Select(4);
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    EXPECT_EQ(dialog.Row(), 4);
    EXPECT_EQ(dialog.NumberText()->text(), QStringLiteral("5"));
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Track 5"));
    Retitle(dialog, QStringLiteral("Harbour Lights"));
    EXPECT_EQ(Titles().TextAt(4), QStringLiteral("Harbour Lights"));
    EXPECT_EQ(Queue().TextAt(4), Entry(5, QStringLiteral("Harbour Lights")));
    EXPECT_EQ(Queue().Selected(), 5);
    EXPECT_EQ(dialog.Row(), 5);
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Track 6"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(total.total, QStringLiteral("12"));
}

TEST_F(EditTrack, AtTheLastSongEnterSavesAndStays) {
    Load();
    Queue().Select(11);
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    Retitle(dialog, QStringLiteral("Coda"));
    EXPECT_EQ(Titles().TextAt(11), QStringLiteral("Coda"));
    EXPECT_EQ(Queue().TextAt(11), Entry(12, QStringLiteral("Coda")));
    EXPECT_EQ(Queue().Selected(), 11);
    EXPECT_EQ(dialog.Row(), 11);
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Coda"));
    EXPECT_FALSE(dialog.TitleEdit()->isModified());
}

TEST_F(EditTrack, RowsOfAShuffledQueueRenameTheirOwnTrack) {
    Load();
    // Track 9 standing first: the title list is addressed by the track number, not the row.
    Queue().Select(8);
    controller->MoveSelected(true, true);
    ASSERT_EQ(Queue().TrackNumber(0), 9);
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    dialog.TitleEdit()->setText(QStringLiteral("Ninth"));
    dialog.TitleEdit()->setModified(true);
    dialog.OkButton()->click();
    EXPECT_EQ(Titles().TextAt(8), QStringLiteral("Ninth"));
    EXPECT_EQ(Titles().TextAt(0), QStringLiteral("Track 1"));
    EXPECT_EQ(Queue().TextAt(0), Entry(9, QStringLiteral("Ninth")));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(EditTrack, PrevWalksUpAndStopsAtTheFirstSong) {
    Load();
    Queue().Select(1);
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    dialog.PrevButton()->click();
    EXPECT_EQ(Queue().Selected(), 0);
    dialog.PrevButton()->click();
    EXPECT_EQ(Queue().Selected(), 0);
    EXPECT_EQ(dialog.NumberText()->text(), QStringLiteral("1"));
}

TEST_F(EditTrack, EscapeDoesNothing) {
    Load();
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    QTest::keyClick(dialog.TitleEdit(), Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
}

TEST_F(EditTrack, UnmodifiedTitlesWriteNothing) {
    Load();
    ASSERT_EQ(controller->SaveAlbum(), 0);
    QFile file(databasePath);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const QStringList queueBefore = Texts(Queue());
    const QStringList titlesBefore = Texts(Titles());
    {
        Queue().Select(0);
        TEditSongDlg dialog(&window, *controller);
        QSignalSpy songRenamed(controller.get(), &TPlayController::captionChanged);
        Show(dialog);
        for (int step = 0; step < 3; ++step)
            QTest::keyClick(dialog.TitleEdit(), Qt::Key_Return);
        dialog.PrevButton()->click();
        dialog.OkButton()->click();
        EXPECT_EQ(songRenamed.size(), 0);
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(Texts(Queue()), queueBefore);
    EXPECT_EQ(Texts(Titles()), titlesBefore);
    EXPECT_EQ(Queue().Selected(), 2);
}

TEST_F(EditTrack, WithNothingSelectedThePlaceholdersStayAndNothingIsSaved) {
    Load();
    Queue().Select(-1);
    const QStringList queueBefore = Texts(Queue());
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    EXPECT_EQ(dialog.Row(), -1);
    EXPECT_EQ(dialog.NumberText()->text(), QStringLiteral("unknown"));
    EXPECT_TRUE(dialog.TitleEdit()->text().isEmpty());
    QTest::keyClicks(dialog.TitleEdit(), QStringLiteral("Lost"));
    QTest::keyClick(dialog.TitleEdit(), Qt::Key_Return);
    dialog.OkButton()->click();
    EXPECT_EQ(Texts(Queue()), queueBefore);
    EXPECT_EQ(Titles().TextAt(0), QStringLiteral("Track 1"));
}

TEST_F(EditTrack, RenamingTheCurrentSongRefreshesTheCaption) {
    Load();
    ASSERT_EQ(controller->CurrentSong(), 0);
    Queue().Select(0);
    TEditSongDlg dialog(&window, *controller);
    QSignalSpy renamed(controller.get(), &TPlayController::captionChanged);
    Show(dialog);
    Retitle(dialog, QStringLiteral("Overture"));
    Retitle(dialog, QStringLiteral("Second"));
    EXPECT_EQ(renamed.size(), 1);
    EXPECT_EQ(controller->CurrentTitle(), QStringLiteral("Overture"));
}

TEST_F(EditTrack, LongTitlesAreKeptWhole) {
    Load();
    TEditSongDlg dialog(&window, *controller);
    Show(dialog);
    dialog.TitleEdit()->selectAll();
    QTest::keyClicks(dialog.TitleEdit(), QString(120, QLatin1Char('x')));
    const QString typed = dialog.TitleEdit()->text();
    EXPECT_EQ(typed.size(), TEditSongDlg::TitleLimit);
    dialog.OkButton()->click();
    EXPECT_EQ(Titles().TextAt(0), typed) << "what the field shows is what is saved";
}

// Add Track.

class AddTrack : public AlbumDialogs {
protected:
    QStringList Offered(TAddTrackDlg& dialog) { return Texts(dialog.List()->Model()); }
};

TEST_F(AddTrack, ListsExactlyTheMissingTracksInTrackOrder) {
    Load();
    RemoveTracks({10, 2, 7});
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    EXPECT_EQ(Offered(dialog),
              (QStringList{Entry(2, "Track 2"), Entry(7, "Track 7"), Entry(10, "Track 10")}));
    EXPECT_EQ(dialog.List()->Model().Selected(), 0);
}

struct PrefixCase {
    QList<int> removed;
    QList<int> offered;
};

class AddTrackPrefix : public AddTrack, public ::testing::WithParamInterface<PrefixCase> {};

TEST_P(AddTrackPrefix, TrackOneIsNotTrackTen) {
    Load();
    RemoveTracks(GetParam().removed);
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    QList<int> offered;
    for (int row = 0; row < dialog.List()->Count(); ++row)
        offered << dialog.List()->TrackNumber(row);
    EXPECT_EQ(offered, GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(Cases, AddTrackPrefix,
                         ::testing::Values(PrefixCase{{1}, {1}}, PrefixCase{{10}, {10}},
                                           PrefixCase{{1, 11, 12}, {1, 11, 12}},
                                           PrefixCase{{}, {}}));

TEST_F(AddTrack, AddingEveryTrackEmptiesTheListAndTotalIsTheTrackCount) {
    Load();
    RemoveTracks({3, 4, 8, 12});
    EXPECT_EQ(total.total, QStringLiteral("08"));
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    Show(dialog);
    dialog.List()->Model().Select(2);
    dialog.AddButton()->click();
    EXPECT_EQ(Queue().TextAt(Queue().Count() - 1), Entry(8, "Track 8"));
    EXPECT_EQ(dialog.List()->Model().Selected(), 2) << "the row now at the same index";
    dialog.AddButton()->click();
    EXPECT_EQ(dialog.List()->Model().Selected(), 0) << "no row there: the first";
    while (dialog.List()->Count() > 0)
        dialog.AddButton()->click();
    EXPECT_EQ(Queue().Count(), 12);
    EXPECT_EQ(total.total, QStringLiteral("12"));
    EXPECT_EQ(dialog.List()->Model().Selected(), -1);
    dialog.AddButton()->click();
    EXPECT_EQ(Queue().Count(), 12);
}

TEST_F(AddTrack, ATrackQueuedTwiceIsNotOffered) {
    Load();
    Queue().Add(Entry(3, "Track 3"));
    RemoveTracks({5});
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    EXPECT_EQ(Offered(dialog), QStringList{Entry(5, "Track 5")});
}

TEST_F(AddTrack, DoubleClickAddsTheRow) {
    Load();
    RemoveTracks({6, 9});
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    Show(dialog);
    TSongList* list = dialog.List();
    const QPoint second(30, list->RowRect(1).center().y());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ(Queue().TextAt(Queue().Count() - 1), Entry(9, "Track 9"));
    EXPECT_EQ(Offered(dialog), QStringList{Entry(6, "Track 6")});
}

TEST_F(AddTrack, TheListUsesTheQueueFontAndTitles) {
    Load();
    Titles().Delete(1);
    Titles().Insert(1, QStringLiteral("Second Wind"));
    RemoveTracks({2});
    TAddTrackDlg dialog(&window, *controller, QueueFont());
    EXPECT_EQ(dialog.List()->font().pixelSize(), QueueFont().pixelSize());
    EXPECT_EQ(dialog.List()->RowHeight(), QFontMetrics(dialog.List()->font()).lineSpacing());
    EXPECT_EQ(Offered(dialog), QStringList{Entry(2, "Second Wind")});
}

// Album Properties.

TEST_F(AlbumDialogs, PropertiesShowTheAlbumAndSaveOnlyAnEditedTitle) {
    Load();
    TAlbumPropDlg dialog(&window, *controller);
    QSignalSpy renamed(controller.get(), &TPlayController::captionChanged);
    EXPECT_EQ(dialog.TracksText()->text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.LengthText()->text(), FormatTime(controller->Album().TotalLength() / 1000));
    EXPECT_EQ(dialog.TitleEdit()->text(), QStringLiteral("Untitled"));
    EXPECT_EQ(dialog.TitleEdit()->selectedText(), QStringLiteral("Untitled"));
    dialog.DoneButton()->click();
    EXPECT_EQ(renamed.size(), 0);

    TAlbumPropDlg again(&window, *controller);
    QSignalSpy renamedAgain(controller.get(), &TPlayController::captionChanged);
    Show(again);
    QTest::keyClicks(again.TitleEdit(), QStringLiteral("Coastal Roads"));
    QTest::keyClick(again.TitleEdit(), Qt::Key_Return);
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Coastal Roads"));
    EXPECT_EQ(renamedAgain.size(), 1);
    EXPECT_EQ(again.result(), QDialog::Accepted);
}

TEST_F(AlbumDialogs, PropertiesWithoutAnAlbumKeepTheirPlaceholders) {
    TAlbumPropDlg dialog(&window, *controller);
    QSignalSpy renamed(controller.get(), &TPlayController::captionChanged);
    EXPECT_EQ(dialog.TracksText()->text(), QStringLiteral("unknown"));
    EXPECT_EQ(dialog.LengthText()->text(), QStringLiteral("unknown"));
    EXPECT_TRUE(dialog.TitleEdit()->text().isEmpty());
    dialog.TitleEdit()->setText(QStringLiteral("Nobody's"));
    dialog.TitleEdit()->setModified(true);
    dialog.DoneButton()->click();
    EXPECT_TRUE(controller->Album().Title().isNull());
    EXPECT_EQ(renamed.size(), 0);
}

// About.

struct MemoryCase {
    const char* text;
    bool ok;
    quint64 total;
    quint64 available;
};

class MemoryFigures : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryFigures, AreReadFromMeminfo) {
    TMemoryStatus status;
    EXPECT_EQ(ParseMemoryStatus(QByteArray(GetParam().text), status), GetParam().ok);
    if (GetParam().ok) {
        EXPECT_EQ(status.totalKb, GetParam().total);
        EXPECT_EQ(status.availableKb, GetParam().available);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MemoryFigures,
    ::testing::Values(
        MemoryCase{"MemTotal:       16314344 kB\nMemFree:  1000 kB\nMemAvailable:   9157016 kB\n",
                   true, 16314344, 9157016},
        MemoryCase{"MemAvailable: 5 kB\nMemTotal: 7 kB", true, 7, 5},
        MemoryCase{"MemTotal: 7 kB\n", false, 0, 0},
        MemoryCase{"MemTotal: x kB\nMemAvailable: 1 kB", false, 0, 0},
        MemoryCase{"", false, 0, 0}));

TEST(AboutBox, VersionAndThisMachinesMemory) {
    TAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.VersionText()->text(),
              QStringLiteral("Version 2.7 - %1-bit for Linux").arg(QT_POINTER_SIZE * 8));
    TMemoryStatus memory;
    ASSERT_TRUE(ReadMemoryStatus(memory));
    EXPECT_GT(memory.totalKb, 0u);
    EXPECT_LE(memory.availableKb, memory.totalKb);
    const QStringList lines = dialog.MemoryText()->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("%1 KB Phys. Memory").arg(memory.totalKb));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(" KB Free Ph. Mem.")));
    EXPECT_EQ(TAboutDlg::MemoryText({2048, 1024}),
              QStringLiteral("2048 KB Phys. Memory\n1024 KB Free Ph. Mem."));
}

TEST(AboutBox, PictureIsDrawnWithNavyLeftOut) {
    TAboutDlg dialog(nullptr);
    const QImage image = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QColor face = dialog.palette().color(QPalette::Button);
    const QPoint origin = dialog.PictureOrigin();
    // The disc's centre hole and the corners are navy in the picture: the dialog shows there.
    EXPECT_EQ(image.pixelColor(origin + QPoint(25, 25)), face);
    EXPECT_EQ(image.pixelColor(origin + QPoint(1, 1)), face);
    EXPECT_EQ(image.pixelColor(origin + QPoint(158, 2)), face);
    // The disc itself is drawn.
    EXPECT_NE(image.pixelColor(origin + QPoint(25, 10)), face);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_NE(image.pixelColor(x, y), QColor(0, 0, 128)) << x << "," << y;
}

// What every dialog shares.

struct DialogCase {
    const char* name;
    std::function<TMDialog*(TPlayController&, const QString& databasePath)> make;
    QStringList tabOrder;  // object names of the controls the Tab key visits, in order
    QString defaultButton; // object name
};

class EveryDialog : public ControllerFixture, public ::testing::WithParamInterface<DialogCase> {
protected:
    void SetUp() override {
        Load();
        QFile file(databasePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[1]\nTitle=A rather long album title for the list\n");
        file.close();
        dialog.reset(GetParam().make(*controller, databasePath));
    }
    std::unique_ptr<TMDialog> dialog;
};

TEST_P(EveryDialog, HasTheDoubleFrameInsideItsEdge) {
    ASSERT_NE(dialog->SunkenFrame(), nullptr);
    ASSERT_NE(dialog->RaisedFrame(), nullptr);
    EXPECT_TRUE(dialog->SunkenFrame()->IsSunken());
    EXPECT_FALSE(dialog->RaisedFrame()->IsSunken());
    EXPECT_EQ(dialog->SunkenFrame()->geometry(), dialog->rect().adjusted(4, 4, -4, -4));
    EXPECT_EQ(dialog->RaisedFrame()->geometry(), dialog->rect().adjusted(7, 7, -7, -7));
    EXPECT_EQ(dialog->SunkenFrame()->BandWidth(), 2);
}

TEST_P(EveryDialog, KeepsItsTabOrderAndDefaultButton) {
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QStringList order;
    QWidget* start = dialog->nextInFocusChain();
    for (QWidget* w = start; order.size() < 20; w = w->nextInFocusChain()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            dialog->isAncestorOf(w))
            order << w->objectName();
        if (w->nextInFocusChain() == start)
            break;
    }
    EXPECT_EQ(order, GetParam().tabOrder);
    auto* button = dialog->findChild<QPushButton*>(GetParam().defaultButton);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isDefault());
}

TEST_P(EveryDialog, NoTextIsClipped) {
    const auto fits = [](const QWidget* w, const QString& text, int room) {
        QString plain = text;
        plain.remove(QLatin1Char('&'));
        for (const QString& line : plain.split(QLatin1Char('\n')))
            EXPECT_LE(w->fontMetrics().horizontalAdvance(line), room)
                << w->objectName().toStdString() << " \"" << line.toStdString() << '"';
        EXPECT_GE(w->height(), w->fontMetrics().height() * plain.count(QLatin1Char('\n')) +
                                   w->fontMetrics().height() - 1)
            << plain.toStdString();
    };
    QList<QRect> inked; // where the texts of the statics are drawn
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        if (!label->pixmap().isNull())
            continue;
        fits(label, label->text(), label->width());
        int widest = 0;
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            widest = std::max(widest, label->fontMetrics().horizontalAdvance(line));
        const int left = label->alignment() & Qt::AlignHCenter
                             ? label->x() + (label->width() - widest) / 2
                             : label->x();
        const QRect text(label->mapTo(dialog.get(), QPoint(left - label->x(), 0)),
                         QSize(widest, label->height()));
        for (const QRect& other : inked)
            EXPECT_FALSE(text.intersects(other)) << label->text().toStdString();
        inked << text;
    }
    for (const QPushButton* button : dialog->findChildren<QPushButton*>())
        fits(button, button->text(), button->width() - 4);
    for (const QGroupBox* box : dialog->findChildren<QGroupBox*>())
        fits(box, box->title(), box->width() - 8);
    // Every control lies inside the raised frame, except the hidden count caption.
    const QRect inside = dialog->RaisedFrame()->geometry();
    for (const QWidget* w : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!qobject_cast<const T3DFrame*>(w) && w->geometry().left() < inside.right()) {
            EXPECT_TRUE(inside.contains(w->geometry())) << w->objectName().toStdString();
        }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, EveryDialog,
    ::testing::Values(
        DialogCase{"AlbumProperties",
                   [](TPlayController& c, const QString&) { return new TAlbumPropDlg(nullptr, c); },
                   {"7820", "1"},
                   "1"},
        DialogCase{"EditTrack",
                   [](TPlayController& c, const QString&) { return new TEditSongDlg(nullptr, c); },
                   {"7816", "1", "7819", "7818"},
                   "7818"},
        DialogCase{"AddTrack",
                   [](TPlayController& c, const QString&) {
                       return new TAddTrackDlg(nullptr, c, QueueFont());
                   },
                   {"7836", "7837", "1"},
                   "7837"},
        DialogCase{"About",
                   [](TPlayController&, const QString&) { return new TAboutDlg(nullptr); },
                   {"1"},
                   "1"},
        DialogCase{"DatabaseMaintenance",
                   [](TPlayController&, const QString& path) {
                       return new TDBMaintDlg(nullptr, path, QueueFont(), nullptr);
                   },
                   {"7876", "7878", "1"},
                   "1"},
        DialogCase{"VolumeOutputDevice",
                   [](TPlayController&, const QString& path) {
                       static TFakeAuxOutput devices({QStringLiteral("Master (default)")});
                       static TProfile settings(path + QStringLiteral(".ini"));
                       return new TChooseMixerDlg(nullptr, devices, settings);
                   },
                   {"17948", "1", "2"},
                   "1"},
        DialogCase{"Rip",
                   [](TPlayController& c, const QString& path) {
                       return new TRipDlg(nullptr, c, "/dev/sr0", path + QStringLiteral(".ini"));
                   },
                   {"17961", "17962", "17963", "17964", "17965", "17966", "17967", "17968", "17969",
                    "qt_spinbox_lineedit", "1", "2"},
                   "1"},
        DialogCase{"Ripping",
                   [](TPlayController&, const QString&) {
                       auto* window = new TRipProgressDlg(nullptr);
                       window->TrackStarted(12, 12, 12,
                                            "A title far too long for the window "
                                            "it is shown in, which cuts it");
                       window->Progress(0.5, 0.9, 123.4, 3599);
                       return window;
                   },
                   {"2"},
                   "2"},
        DialogCase{"RipResults",
                   [](TPlayController&, const QString& path) {
                       TRipReport report;
                       report.Folder = QFileInfo(path).path();
                       for (int t = 1; t <= 3; ++t) {
                           TRipTrackResult result;
                           result.Track = t;
                           result.Status = t == 2 ? TRipTrackResult::TStatus::Errors
                                                  : TRipTrackResult::TStatus::Matched;
                           result.ErrorAt = QStringLiteral("73:12.40");
                           report.Tracks << result;
                       }
                       return new TRipResultsDlg(nullptr, report, {"One", "Two", "Three"});
                   },
                   {"17983", "1"},
                   "1"}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });
