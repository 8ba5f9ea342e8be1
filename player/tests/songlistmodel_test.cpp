// The list object both list controls of the player stand on: selection that follows inserts and
// deletes, the row count the display shows, and one model reset while redrawing is off.

#include "core/songlistmodel.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

TSongListModel* Filled(TSongListModel& list, std::initializer_list<const char*> texts) {
    for (const char* text : texts)
        list.Add(QString::fromUtf8(text));
    return &list;
}

TEST(SongListModel, ReadsRowsAndRefusesIndexesOutOfRange) {
    TSongListModel list;
    Filled(list, {"1\tIntro\t01:05", "2\tSecond\t03:00"});
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.TextLength(1), 14);
    QString text = QStringLiteral("unchanged");
    for (int bad : {-1, 2, 100}) {
        EXPECT_EQ(list.TextLength(bad), -1);
        EXPECT_FALSE(list.Text(bad, text));
        EXPECT_EQ(text, QStringLiteral("unchanged"));
        EXPECT_FALSE(list.Delete(bad));
        EXPECT_EQ(list.TrackNumber(bad), 0);
        EXPECT_TRUE(list.Title(bad).isEmpty());
    }
    EXPECT_FALSE(list.Insert(3, QStringLiteral("x")));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Insert(2, QStringLiteral("3\tEnd\t00:10")));
    EXPECT_EQ(list.TextAt(2), QStringLiteral("3\tEnd\t00:10"));
}

TEST(SongListModel, SelectionFollowsInsertAndDelete) {
    TSongListModel list;
    Filled(list, {"a", "b", "c", "d"});
    ASSERT_TRUE(list.Select(2));
    list.Insert(0, QStringLiteral("z"));
    EXPECT_EQ(list.Selected(), 3);
    EXPECT_EQ(list.TextAt(list.Selected()), QStringLiteral("c"));
    list.Delete(4);
    EXPECT_EQ(list.Selected(), 3);
    list.Delete(0);
    EXPECT_EQ(list.Selected(), 2);
    list.Delete(2);
    EXPECT_EQ(list.Selected(), -1);
    ASSERT_TRUE(list.Select(0));
    EXPECT_FALSE(list.Select(7));
    EXPECT_EQ(list.Selected(), -1) << "a failed select leaves nothing selected";
}

TEST(SongListModel, FindsTheFirstEqualRow) {
    TSongListModel list;
    Filled(list, {"2\tB\t00:01", "1\tA\t00:01", "2\tB\t00:01"});
    EXPECT_EQ(list.Find(QStringLiteral("2\tB\t00:01")), 0);
    EXPECT_EQ(list.Find(QStringLiteral("2\tb\t00:01")), -1);
    EXPECT_EQ(list.Find(QString()), -1);
}

TEST(SongListModel, CountChangesAreAnnouncedForEveryChange) {
    TSongListModel list;
    QSignalSpy counts(&list, &TSongListModel::countChanged);
    list.Add(QStringLiteral("a"));
    list.Insert(0, QStringLiteral("b"));
    list.Delete(1);
    list.Clear();
    ASSERT_EQ(counts.count(), 4);
    EXPECT_EQ(counts[0][0].toInt(), 1);
    EXPECT_EQ(counts[1][0].toInt(), 2);
    EXPECT_EQ(counts[2][0].toInt(), 1);
    EXPECT_EQ(counts[3][0].toInt(), 0);
}

TEST(SongListModel, RedrawOffCollectsChangesIntoOneReset) {
    TSongListModel list;
    Filled(list, {"a"});
    QSignalSpy resets(&list, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&list, &QAbstractItemModel::rowsInserted);
    list.SetRedraw(false);
    list.SetRedraw(false);
    list.Clear();
    list.Add(QStringLiteral("b"));
    list.Add(QStringLiteral("c"));
    EXPECT_EQ(resets.count(), 0);
    list.SetRedraw(true);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.data(list.index(1)).toString(), QStringLiteral("c"));
    list.Add(QStringLiteral("d"));
    EXPECT_EQ(inserts.count(), 1);
}

struct RowCase {
    const char* text;
    int track;
    const char* title;
};

class SongRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(SongRowTest, ParsesTrackNumberAndTitle) {
    TSongListModel list;
    list.Add(QString::fromUtf8(GetParam().text));
    EXPECT_EQ(list.TrackNumber(0), GetParam().track);
    EXPECT_EQ(list.Title(0), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SongRowTest,
    ::testing::Values(RowCase{"12\tTitle\t04:05", 12, "Title"},
                      RowCase{"  +7\tLead blanks\t00:01", 7, "Lead blanks"},
                      RowCase{"-3\tNeg\t00:00", -3, "Neg"},
                      RowCase{"x1\tNo number\t00:00", 0, "No number"}, RowCase{"5", 5, ""},
                      RowCase{"5\tOnly one tab", 5, "Only one tab"},
                      RowCase{"99999999999\tHuge\t00:00", 2147483647, "Huge"},
                      RowCase{"-99999999999\tHuge\t00:00", -2147483647 - 1, "Huge"},
                      RowCase{"4\t\t00:10", 4, ""}));

} // namespace
