// The song lists: the queue count on the display, row heights and fonts, the row drawing, moving
// the selection, the right-button menu and the album list's order.

#include "core/commandids.h"
#include "core/displayfields.h"
#include "core/songlistmodel.h"
#include "ui/artwork.h"
#include "ui/dbalbumlist.h"
#include "ui/queuelist.h"

#include <QApplication>
#include <QFontDialog>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

class TTotalRecorder : public TDisplayFields {
public:
    void SetFieldText(int controlId, const QString& text) override {
        if (controlId == FieldTotal)
            totals << text;
    }
    QStringList totals;
};

QFont PixelFont(int pixels) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    return font;
}

QString Row(int track, const QString& title) {
    return QString::number(track) + QLatin1Char('\t') + title + QStringLiteral("\t03:25");
}

// Runs `act` while a modal dialog or pop-up is open: `inside` sees it first, then it is closed.
void WhileOpen(const std::function<void(QWidget*)>& inside, const std::function<void()>& act) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* open = QApplication::activePopupWidget();
        if (!open)
            open = QApplication::activeModalWidget();
        seen = open != nullptr;
        inside(open);
    });
    act();
    EXPECT_TRUE(seen);
}

} // namespace

class QueueTotal : public ::testing::Test {
protected:
    TSongListModel model;
    TQueueList queue{nullptr, &model};
    TTotalRecorder display;
};

TEST_F(QueueTotal, EmptyQueueShowsZeroAtOnce) {
    queue.SetDisplay(&display);
    EXPECT_EQ(display.totals, QStringList{QStringLiteral("00")});
}

TEST_F(QueueTotal, EveryChangeRewritesTheCount) {
    queue.SetDisplay(&display);
    queue.AddString(Row(1, QStringLiteral("One")));
    queue.InsertString(Row(2, QStringLiteral("Two")), 0);
    queue.AddString(Row(3, QStringLiteral("Three")));
    queue.DeleteString(1);
    // The player's logic changes the model directly; the count follows just the same.
    model.Add(Row(4, QStringLiteral("Four")));
    queue.Clear();
    EXPECT_EQ(display.totals, (QStringList{"00", "01", "02", "03", "02", "03", "00"}));
}

TEST_F(QueueTotal, FailedOperationsLeaveTheCountAlone) {
    queue.AddString(Row(1, QStringLiteral("One")));
    queue.SetDisplay(&display);
    EXPECT_FALSE(queue.DeleteString(5));
    EXPECT_FALSE(queue.InsertString(Row(2, QStringLiteral("Two")), 7));
    EXPECT_EQ(display.totals, QStringList{QStringLiteral("01")});
}

TEST(SongListDisplay, ListsWithoutTheDisplayNeverWriteTheTotal) {
    TTotalRecorder display;
    TSongListModel model;
    TQueueList queue(nullptr, &model);
    queue.SetDisplay(&display);
    TSongList other(nullptr, 7836, QRect(0, 0, 200, 92));
    other.AddString(Row(1, QStringLiteral("One")));
    other.AddString(Row(2, QStringLiteral("Two")));
    other.DeleteString(0);
    EXPECT_EQ(display.totals, QStringList{QStringLiteral("00")});
}

TEST(SongListFields, TitleTrackNumberAndSelectedTitle) {
    TSongList list(nullptr, 1, QRect(0, 0, 200, 92));
    list.AddString(QStringLiteral(" +12\tBlue Hour\t04:00\textra"));
    list.AddString(QStringLiteral("no tabs here"));
    list.AddString(QStringLiteral("x7\tOdd"));
    EXPECT_EQ(list.TrackNumber(0), 12);
    EXPECT_EQ(list.Title(0), QStringLiteral("Blue Hour"));
    EXPECT_TRUE(list.Title(1).isEmpty());
    EXPECT_EQ(list.TrackNumber(2), 0);
    EXPECT_EQ(list.Title(2), QStringLiteral("Odd"));
    EXPECT_TRUE(list.SelectedTitle().isNull());
    list.Model().Select(0);
    EXPECT_EQ(list.SelectedTitle(), QStringLiteral("Blue Hour"));
    EXPECT_TRUE(list.GetString(3).isNull());
    EXPECT_TRUE(list.GetString(-1).isNull());
}

TEST(SongListSplit, FieldsEndAtTheirTabs) {
    EXPECT_EQ(SplitRow(QStringLiteral("1\tA\t02:00\tmore\tstill"), 3),
              (QStringList{"1", "A", "02:00"}));
    EXPECT_EQ(SplitRow(QStringLiteral("whole"), 3), (QStringList{"whole", "", ""}));
    EXPECT_EQ(SplitRow(QStringLiteral("T\t3\t01:00\t123"), 4),
              (QStringList{"T", "3", "01:00", "123"}));
}

// Row heights.

TEST(RowHeight, ThirtyPixelsUntilAFontIsGiven) {
    TEasyLB plain(nullptr, 1, QRect(10, 0, 300, 100), 0);
    TSongList songs(nullptr, 2, QRect(0, 0, 200, 92));
    EXPECT_EQ(plain.RowHeight(), 30);
    EXPECT_EQ(songs.RowHeight(), 30);
    plain.setFont(PixelFont(9));
    EXPECT_EQ(plain.RowHeight(), QFontMetrics(plain.font()).lineSpacing());
}

class SmallFonts : public ::testing::TestWithParam<int> {};

TEST_P(SmallFonts, SongRowsStayAtLeastTwelvePixels) {
    TSongListModel model;
    TQueueList queue(nullptr, &model);
    queue.FontDescription() = PixelFont(GetParam());
    queue.ApplyFont();
    const int spacing = QFontMetrics(queue.font()).lineSpacing();
    EXPECT_EQ(queue.RowHeight(), std::max(spacing, 12));
    EXPECT_GE(queue.RowHeight(), 12);
}

INSTANTIATE_TEST_SUITE_P(Pixels, SmallFonts, ::testing::Values(1, 3, 6, 9, 11, 24));

class FontSizes : public ::testing::TestWithParam<int> {};

TEST_P(FontSizes, HeightIsWholeRowsNeverAboveTheSetUpHeight) {
    TSongListModel model;
    TQueueList queue(nullptr, &model);
    const int design = queue.DesignHeight();
    const int frame = queue.frameWidth();
    EXPECT_EQ(design, 92 - 2 * frame);
    for (int round = 0; round < 2; ++round) { // a second change starts from the shrunk list
        queue.FontDescription() = PixelFont(GetParam() + round * 7);
        queue.ApplyFont();
        const int row = queue.RowHeight();
        const int client = queue.height() - 2 * frame;
        EXPECT_EQ(client % row, 0) << "row " << row << " client " << client;
        EXPECT_LE(client, design);
        EXPECT_GT(client + row, design);
        EXPECT_EQ(queue.pos(), QPoint(0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Pixels, FontSizes, ::testing::Values(5, 11, 13, 17, 22, 40));

TEST(ApplyFont, ColumnsFollowTheNewFont) {
    TSongListModel model;
    TQueueList queue(nullptr, &model);
    queue.FontDescription() = PixelFont(30);
    queue.ApplyFont();
    const QFontMetrics metrics(queue.font());
    EXPECT_EQ(queue.NumberColumnOffset(), metrics.horizontalAdvance(QStringLiteral("00")) + 5);
    EXPECT_EQ(queue.LengthColumnWidth(), metrics.horizontalAdvance(QStringLiteral("00:00")) + 2);
}

// Drawing.

class RowDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        queue.FontDescription() = PixelFont(11);
        queue.ApplyFont();
    }
    QImage Paint() {
        return queue.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Whether any pixel of the columns [x0, x1) within row 0 differs from `colour`.
    static bool Inked(const QImage& image, const QRect& row, int x0, int x1, QColor colour) {
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = x0; x < x1; ++x)
                if (image.pixelColor(x, y) != colour)
                    return true;
        return false;
    }

    TSongListModel model;
    TQueueList queue{nullptr, &model};
};

TEST_F(RowDrawing, LongTitleStopsFivePixelsBeforeTheLength) {
    model.Add(QStringLiteral("7\t") + QString(60, QLatin1Char('W')) + QStringLiteral("\t12:34"));
    const QImage image = Paint();
    const QRect row = queue.RowRect(0);
    const QColor base = queue.palette().color(QPalette::Base);
    const int lengthLeft = row.right() - 1 - queue.LengthColumnWidth();
    const int titleLeft = 2 + TSongList::MarkSize.width() + 2 + queue.NumberColumnOffset();
    EXPECT_TRUE(Inked(image, row, titleLeft, lengthLeft - 5, base)) << "the title is drawn";
    EXPECT_FALSE(Inked(image, row, lengthLeft - 5, lengthLeft, base)) << "the gap stays blank";
    EXPECT_TRUE(Inked(image, row, lengthLeft, row.right() - 1, base)) << "the length is drawn";
}

TEST_F(RowDrawing, SelectedRowDiffersOnlyInColours) {
    model.Add(Row(1, QStringLiteral("Song")));
    const QImage plain = Paint();
    model.Select(0);
    queue.clearFocus();
    const QImage selected = Paint();
    const QRect row = queue.RowRect(0);
    const QColor base = queue.palette().color(QPalette::Base);
    const QColor highlight = queue.palette().color(QPalette::Highlight);
    ASSERT_NE(base, highlight);
    EXPECT_EQ(plain.pixelColor(row.right(), row.top()), base);
    EXPECT_EQ(selected.pixelColor(row.right(), row.top()), highlight);
    // Below the last row the list shows its window colour either way.
    EXPECT_EQ(selected.pixelColor(5, row.bottom() + 3), base);
}

TEST_F(RowDrawing, EveryRowCarriesTheMarkWithNavyLeftOut) {
    model.Add(Row(1, QStringLiteral("A")));
    model.Add(Row(2, QStringLiteral("B")));
    const QImage image = Paint();
    const QColor base = queue.palette().color(QPalette::Base);
    for (int index = 0; index < 2; ++index) {
        const QRect row = queue.RowRect(index);
        EXPECT_TRUE(Inked(image, row, 2, 2 + TSongList::MarkSize.width(), base)) << index;
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_NE(image.pixelColor(x, y), ArtworkKey) << x << "," << y;
}

TEST(Artwork, RowMarkIsItsSizeAtEveryPixelRatio) {
    for (const qreal ratio : {1.0, 2.0}) {
        const QImage mark =
            LoadArtwork(QStringLiteral(":/korvo/rowmark.svg"), TSongList::MarkSize, ratio);
        ASSERT_FALSE(mark.isNull());
        EXPECT_EQ(mark.size(), TSongList::MarkSize * ratio);
        EXPECT_EQ(mark.deviceIndependentSize().toSize(), TSongList::MarkSize);
        int clear = 0, opaque = 0;
        for (int y = 0; y < mark.height(); ++y)
            for (int x = 0; x < mark.width(); ++x) {
                const QColor pixel = mark.pixelColor(x, y);
                clear += pixel.alpha() == 0;
                opaque += pixel.alpha() == 255;
                EXPECT_FALSE(pixel.alpha() == 255 && pixel.rgb() == ArtworkKey.rgb());
            }
        EXPECT_GT(clear, 0);
        EXPECT_GT(opaque, 0);
    }
}

TEST(Artwork, OnlyTheExactKeyColourIsLeftOut) {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixelColor(0, 0, QColor(0, 0, 128));
    image.setPixelColor(1, 0, QColor(0, 0, 129));
    image.setPixelColor(2, 0, QColor(1, 0, 128));
    const QImage keyed = KeyedOut(image, ArtworkKey);
    EXPECT_EQ(keyed.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(keyed.pixelColor(1, 0), QColor(0, 0, 129));
    EXPECT_EQ(keyed.pixelColor(2, 0), QColor(1, 0, 128));
    EXPECT_TRUE(LoadArtwork(QStringLiteral(":/korvo/none.svg"), QSize(4, 4), 1.0).isNull());
}

// Moving the selection.

struct MoveCase {
    int selected;
    int offset;
    int result;
    QList<int> order; // track numbers afterwards
    int selectedAfter;
};

class MoveSelection : public ::testing::TestWithParam<MoveCase> {};

TEST_P(MoveSelection, MovesTheRowAndKeepsItSelected) {
    const MoveCase& c = GetParam();
    TSongList list(nullptr, 1, QRect(0, 0, 200, 92));
    for (int track = 1; track <= 4; ++track)
        list.AddString(Row(track, QStringLiteral("T%1").arg(track)));
    list.Model().Select(c.selected);
    EXPECT_EQ(list.MoveSelection(c.offset), c.result);
    QList<int> order;
    for (int i = 0; i < list.Count(); ++i)
        order << list.TrackNumber(i);
    EXPECT_EQ(order, c.order);
    EXPECT_EQ(list.Model().Selected(), c.selectedAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveSelection,
    ::testing::Values(MoveCase{1, -1, 0, {2, 1, 3, 4}, 0}, MoveCase{1, 1, 0, {1, 3, 2, 4}, 2},
                      MoveCase{3, -3, 0, {4, 1, 2, 3}, 0}, MoveCase{0, 3, 0, {2, 3, 4, 1}, 3},
                      MoveCase{0, -1, -1, {1, 2, 3, 4}, 0}, MoveCase{3, 1, -1, {1, 2, 3, 4}, 3},
                      MoveCase{2, 0, 0, {1, 2, 3, 4}, 2}, MoveCase{-1, 1, -1, {1, 2, 3, 4}, -1}));

// The right button.

class RightClick : public ::testing::Test {
protected:
    void SetUp() override {
        for (int track = 1; track <= 3; ++track)
            model.Add(Row(track, QStringLiteral("Song %1").arg(track)));
        model.Select(0);
        queue.FontDescription() = PixelFont(11);
        queue.ApplyFont();
        queue.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&queue));
    }
    // Right-clicks at `y`; returns the selection seen while the menu is open. The menu is left
    // by choosing `choose` (by text) or closed when it is empty.
    int ClickAndSee(int y, const QString& choose = QString()) {
        int seen = -2;
        WhileOpen(
            [&](QWidget* open) {
                seen = model.Selected();
                auto* menu = qobject_cast<QMenu*>(open);
                ASSERT_NE(menu, nullptr);
                EXPECT_EQ(menu->objectName(), QStringLiteral("7787"));
                QStringList texts;
                for (QAction* action : menu->actions())
                    texts << action->text();
                EXPECT_EQ(texts, (QStringList{"&Play", "&Edit...", "&Add...", "Remo&ve",
                                              "&Highlight Current"}));
                for (QAction* action : menu->actions())
                    if (action->text() == choose)
                        menu->setActiveAction(action);
                if (menu->activeAction())
                    QTest::keyClick(menu, Qt::Key_Return);
                else
                    menu->close();
            },
            [&] { QTest::mousePress(queue.viewport(), Qt::RightButton, {}, QPoint(20, y)); });
        return seen;
    }

    TSongListModel model;
    TQueueList queue{nullptr, &model};
    QSignalSpy commands{&queue, &TSongList::commandPosted};
};

TEST_F(RightClick, RowUnderThePointerIsSelectedBeforeTheMenu) {
    const int row = queue.RowHeight();
    EXPECT_EQ(ClickAndSee(2 * row + row / 2), 2);
    EXPECT_EQ(ClickAndSee(row + 1), 1);
}

TEST_F(RightClick, BelowTheLastRowNothingIsSelected) {
    const int row = queue.RowHeight();
    ASSERT_LT(3 * row + 2, queue.viewport()->height());
    EXPECT_EQ(ClickAndSee(3 * row + 2), -1);
    EXPECT_TRUE(model.SelectedTitle().isNull());
}

TEST_F(RightClick, MenuChoiceLeavesAsItsCommandId) {
    ClickAndSee(1, QStringLiteral("Remo&ve"));
    ClickAndSee(1, QStringLiteral("&Edit..."));
    ASSERT_EQ(commands.size(), 2);
    EXPECT_EQ(commands[0][0].toInt(), CmSongRemove);
    EXPECT_EQ(commands[1][0].toInt(), CmSongEdit);
    ClickAndSee(1);
    EXPECT_EQ(commands.size(), 2);
}

TEST_F(RightClick, LeftClickAndDoubleClickPickRows) {
    QSignalSpy picked(&queue, &TODListBox::selectionPicked);
    QSignalSpy doubled(&queue, &TODListBox::rowDoubleClicked);
    const int row = queue.RowHeight();
    QTest::mouseClick(queue.viewport(), Qt::LeftButton, {}, QPoint(20, row + 2));
    EXPECT_EQ(model.Selected(), 1);
    QTest::mouseClick(queue.viewport(), Qt::LeftButton, {}, QPoint(20, 3 * row + 2));
    EXPECT_EQ(model.Selected(), 1) << "a click below the rows changes nothing";
    QTest::mouseDClick(queue.viewport(), Qt::LeftButton, {}, QPoint(20, 2 * row + 2));
    EXPECT_EQ(model.Selected(), 2);
    ASSERT_EQ(doubled.size(), 1);
    EXPECT_EQ(doubled[0][0].toInt(), 2);
    EXPECT_GE(picked.size(), 2);
}

TEST_F(RightClick, KeysWalkTheRowsAndSelectionScrollsIntoView) {
    for (int track = 4; track <= 20; ++track)
        model.Add(Row(track, QStringLiteral("Song %1").arg(track)));
    QTest::keyClick(&queue, Qt::Key_Down);
    EXPECT_EQ(model.Selected(), 1);
    QTest::keyClick(&queue, Qt::Key_End);
    EXPECT_EQ(model.Selected(), 19);
    EXPECT_EQ(queue.TopIndex(), 20 - queue.VisibleRows());
    QTest::keyClick(&queue, Qt::Key_Home);
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_EQ(queue.TopIndex(), 0);
    queue.SetTopIndex(5);
    const int row = queue.RowHeight();
    QTest::mouseClick(queue.viewport(), Qt::LeftButton, {}, QPoint(20, row + 1));
    EXPECT_EQ(model.Selected(), 6) << "rows count from the first visible one";
}

// The font dialog and the settings' font record.

TEST(ChooseFont, CancelChangesNothingOkAppliesTheChoice) {
    TSongListModel model;
    TQueueList queue(nullptr, &model);
    queue.FontDescription() = PixelFont(11);
    queue.ApplyFont();
    const QFont before = queue.FontDescription();
    bool chosen = true;
    WhileOpen(
        [](QWidget* open) {
            auto* dialog = qobject_cast<QFontDialog*>(open);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose Font"));
            dialog->reject();
        },
        [&] { chosen = queue.ChooseFont(); });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(queue.FontDescription(), before);

    WhileOpen(
        [](QWidget* open) {
            auto* dialog = qobject_cast<QFontDialog*>(open);
            ASSERT_NE(dialog, nullptr);
            dialog->setCurrentFont(PixelFont(20));
            dialog->accept();
        },
        [&] { chosen = queue.ChooseFont(); });
    EXPECT_TRUE(chosen);
    EXPECT_GT(queue.FontDescription().pixelSize(), 11);
    EXPECT_EQ(queue.font().pixelSize(), queue.FontDescription().pixelSize());
    EXPECT_EQ(queue.RowHeight(), QFontMetrics(queue.font()).lineSpacing());
}

TEST(FontSpec, SettingsRecordRoundTrips) {
    const TFontSpec description{QStringLiteral("DejaVu Sans"), -15, 700, true};
    const QFont font = FontFromSpec(description);
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_TRUE(font.italic());
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_EQ(SpecFromFont(font, 96), description);
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(12);
    EXPECT_EQ(SpecFromFont(points, 96).height, -16);
    EXPECT_EQ(SpecFromFont(points, 120).height, -20);
    EXPECT_EQ(FontFromSpec(TFontSpec{QString(), 0, 0, false}).pixelSize(), QFont().pixelSize());
}

TEST(FontSpec, StoredWeightIsWrittenBackAsRead) {
    for (int weight : {0, 100, 400, 700}) {
        const TFontSpec description{QStringLiteral("DejaVu Sans"), -13, weight, false};
        EXPECT_EQ(SpecFromFont(FontFromSpec(description), 96).weight, weight);
    }
}

// The album list.

TEST(DBAlbumList, RowsStayInTitleOrderAndKeepTheirSection) {
    TDBAlbumList list(nullptr, 7876, QRect(0, 0, 220, 90));
    const QStringList rows{"Nocturnes\t12\t48:10\t2890181", "abbey road\t17\t47:03\t2823243",
                           "Nocturnes\t9\t40:00\t2400111", "Zither\t\t\t999", "???\t\t\tLive"};
    for (const QString& row : rows)
        list.AddSorted(row);
    QStringList sections;
    for (int i = 0; i < list.Count(); ++i)
        sections << list.Section(i);
    // The whole text decides, so "Nocturnes\t12" comes before "Nocturnes\t9".
    EXPECT_EQ(sections, (QStringList{"Live", "2823243", "2890181", "2400111", "999"}));
    EXPECT_EQ(list.RowHeight(), 30);
}
