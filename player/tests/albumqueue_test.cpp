// The disc key and the queue operations of the album: sort, shuffle, remove, move and highlight,
// each checked for what it does to the current song, the selection and the display.

#include "controllerfixture.h"

#include "core/commandids.h"

namespace {

struct KeyCase {
    const char* name;
    QVector<quint32> lengths;
    const char* key;
};

class DiscKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(DiscKeyTest, KeyIsDiscLengthThenFirstTenTrackLengthsInSeconds) {
    auto service = std::make_unique<TManualDrive>(GetParam().lengths);
    MCIDevice device(QStringLiteral("cdaudio"), std::move(service));
    TCDAlbum album(&device);
    album.ComputeKey();
    EXPECT_TRUE(album.Key().isNull()) << "a closed drive gives no key";
    ASSERT_EQ(device.Open(), 0u);
    album.ComputeKey();
    EXPECT_EQ(album.Key(), QString::fromLatin1(GetParam().key));
    EXPECT_EQ(album.NumberOfTracks(), GetParam().lengths.size());
}

QVector<quint32> FourteenTracks() {
    QVector<quint32> lengths;
    for (int t = 1; t <= 14; ++t)
        lengths << static_cast<quint32>(t * 1000 + 999); // 1.999 s, 2.999 s ...: seconds truncate
    return lengths;
}

INSTANTIATE_TEST_SUITE_P(
    Discs, DiscKeyTest,
    ::testing::Values(KeyCase{"OneTrack", {245'500}, "245245"},
                      KeyCase{"ThreeTracks", {245'000, 190'999, 301'000}, "736245190301"},
                      // 14 tracks: disc 118.986 s, only tracks 1 to 10 follow.
                      KeyCase{"FourteenTracks", FourteenTracks(), "11812345678910"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DiscKey, NoDiscLeavesTheKeyNullEvenAfterAnEarlierDisc) {
    auto service = std::make_unique<TManualDrive>(QVector<quint32>{60'000});
    TManualDrive* drive = service.get();
    MCIDevice device(QStringLiteral("cdaudio"), std::move(service));
    TCDAlbum album(&device);
    device.Open();
    album.ComputeKey();
    EXPECT_EQ(album.Key(), QStringLiteral("6060"));
    drive->RemoveDisc();
    album.ComputeKey();
    EXPECT_TRUE(album.Key().isNull()) << "a stale key would save the next disc over this album";
}

class AlbumQueueTest : public ControllerFixture {};

TEST_F(AlbumQueueTest, TwoDiscsWithTheSameLengthsShareOneAlbum) {
    Load();
    controller->Album().SetTitle(QStringLiteral("Shared"));
    ASSERT_EQ(controller->SaveAlbum(), 0);
    // Another disc whose lengths differ only below a second.
    drive->InsertDisc({30'400, 45'300, 60'100});
    Load();
    EXPECT_EQ(controller->Album().Title(), QStringLiteral("Shared"));
}

TEST_F(AlbumQueueTest, SortWithNoCurrentSongSelectsNothing) {
    Load();
    TPlayController& c = *controller;
    c.Clear(); // the current song is gone, the queue empty
    c.Queue().Add(TCDAlbum::QueueEntry(3, "C", 60'000));
    c.Queue().Add(TCDAlbum::QueueEntry(1, "A", 30'000));
    c.Queue().Select(1);
    c.SortByOriginalOrder();
    EXPECT_EQ(c.CurrentSong(), -1);
    EXPECT_EQ(c.Queue().Selected(), -1);
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 3}));
    EXPECT_EQ(fields[FieldTotal], QStringLiteral("02"));
    EXPECT_EQ(hints.shown.last(), QStringLiteral("Sorting album by original order..."));
    EXPECT_EQ(hints.open, 0);
}

TEST_F(AlbumQueueTest, SortKeepsADuplicatedTrackAndFindsTheCurrentAtItsFirstCopy) {
    Load();
    TSongListModel& queue = controller->Queue();
    const QString two = queue.TextAt(1);
    queue.Add(two); // 1 2 3 2
    ASSERT_EQ(controller->SelectAndPlay(3), 0);
    controller->Shuffle();
    controller->SortByOriginalOrder();
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 2, 2, 3}));
    EXPECT_EQ(controller->CurrentSong(), 1);
    EXPECT_EQ(queue.Selected(), 1);
    EXPECT_EQ(fields[FieldTrack], QStringLiteral("02"));
}

TEST_F(AlbumQueueTest, ShuffleIsAPermutationThatFollowsTheCurrentSong) {
    drive->InsertDisc(QVector<quint32>(20, 10'000));
    Load();
    ASSERT_EQ(controller->SelectAndPlay(7), 0);
    const QString current = controller->Queue().TextAt(7);
    TRandomGenerator::Seed(99);
    controller->Shuffle();
    const QList<int> first = QueueTracks();
    QList<int> sorted = first;
    std::sort(sorted.begin(), sorted.end());
    QList<int> all;
    for (int t = 1; t <= 20; ++t)
        all << t;
    EXPECT_EQ(sorted, all);
    EXPECT_NE(first, all) << "twenty songs left in order by a shuffle";
    EXPECT_EQ(controller->Queue().TextAt(controller->CurrentSong()), current);
    EXPECT_EQ(controller->Queue().Selected(), controller->CurrentSong());
    // The same seed gives the same order.
    controller->SortByOriginalOrder();
    TRandomGenerator::Seed(99);
    controller->Shuffle();
    EXPECT_EQ(QueueTracks(), first);
}

TEST_F(AlbumQueueTest, RemovingThePlayingSongStartsTheOneThatTookItsPlace) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(1), 0);
    controller->RemoveSelected();
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 3}));
    EXPECT_EQ(controller->CurrentSong(), 1);
    EXPECT_FALSE(controller->IsStopped());
    EXPECT_EQ(drive->Requests("play").last(), QStringLiteral("play %1 - n").arg(StartOf(3)));
}

TEST_F(AlbumQueueTest, RemovingOtherSongsKeepsTheCurrentOne) {
    Load();
    ASSERT_EQ(controller->SelectAndPlay(1), 0); // track 2 plays
    controller->Queue().Select(0);
    controller->RemoveSelected();
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_EQ(controller->CurrentTrack(), 2);
    EXPECT_EQ(controller->Queue().Selected(), 0) << "the entry now at the removed index";
    controller->Queue().Select(1);
    controller->RemoveSelected();
    EXPECT_EQ(controller->CurrentSong(), 0);
    EXPECT_EQ(controller->Queue().Selected(), 0) << "the one before a removed last entry";
    EXPECT_EQ(drive->Requests("play").size(), 1);
}

TEST_F(AlbumQueueTest, RemovingTheLastEntryStopsAndClearsTheDisplay) {
    Load();
    for (int i = 0; i < 2; ++i) {
        controller->Queue().Select(0);
        controller->RemoveSelected();
    }
    ASSERT_EQ(controller->SelectAndPlay(0), 0);
    controller->RemoveSelected();
    EXPECT_EQ(controller->Queue().Count(), 0);
    EXPECT_TRUE(controller->IsStopped());
    EXPECT_EQ(controller->CurrentSong(), -1);
    EXPECT_TRUE(fields[FieldTrack].isEmpty());
    EXPECT_TRUE(fields[FieldLength].isEmpty());
    EXPECT_EQ(fields[FieldTotal], QStringLiteral("00"));
    EXPECT_EQ(drive->log.last(), QStringLiteral("stop"));
    controller->RemoveSelected(); // nothing selected, nothing left: no effect
    EXPECT_EQ(controller->Queue().Count(), 0);
}

struct MoveCase {
    const char* name;
    int current;
    int selected;
    bool up;
    bool toEnd;
    QList<int> order;
    int newCurrent;
    int newSelected;
};

class MoveTest : public ControllerFixture, public ::testing::WithParamInterface<MoveCase> {
protected:
    MoveTest() : ControllerFixture({10'000, 10'000, 10'000, 10'000, 10'000}) {}
};

TEST_P(MoveTest, CurrentIndexKeepsPointingAtTheCurrentSong) {
    const MoveCase& c = GetParam();
    Load();
    ASSERT_EQ(controller->SelectAndPlay(c.current), 0);
    const int track = controller->CurrentTrack();
    controller->Queue().Select(c.selected);
    controller->MoveSelected(c.up, c.toEnd);
    EXPECT_EQ(QueueTracks(), c.order);
    EXPECT_EQ(controller->CurrentSong(), c.newCurrent);
    EXPECT_EQ(controller->CurrentTrack(), track);
    EXPECT_EQ(controller->Queue().Selected(), c.newSelected);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveTest,
    ::testing::Values(
        MoveCase{"CurrentToTopWithShift", 3, 3, true, true, {4, 1, 2, 3, 5}, 0, 0},
        MoveCase{"BelowCurrentToTopShiftsItDown", 1, 3, true, true, {4, 1, 2, 3, 5}, 2, 0},
        MoveCase{"AboveCurrentToBottomShiftsItUp", 2, 0, false, true, {2, 3, 4, 5, 1}, 1, 4},
        MoveCase{"OneUpOntoTheCurrent", 2, 3, true, false, {1, 2, 4, 3, 5}, 3, 2},
        MoveCase{"OneDownPastTheCurrent", 2, 1, false, false, {1, 3, 2, 4, 5}, 1, 2},
        MoveCase{"FarAwayLeavesTheCurrent", 0, 3, false, false, {1, 2, 3, 5, 4}, 0, 4},
        MoveCase{"TopCannotMoveUp", 2, 0, true, false, {1, 2, 3, 4, 5}, 2, 0},
        MoveCase{"BottomCannotMoveDown", 2, 4, false, false, {1, 2, 3, 4, 5}, 2, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AlbumQueueTest, MoveAndHighlightWithoutSelectionDoNothing) {
    Load();
    controller->Queue().Select(-1);
    controller->MoveSelected(true, false);
    controller->MoveSelected(false, true);
    EXPECT_EQ(QueueTracks(), (QList<int>{1, 2, 3}));
    ASSERT_EQ(controller->SelectAndPlay(2), 0);
    controller->Queue().Select(0);
    controller->HighlightCurrent();
    EXPECT_EQ(controller->Queue().Selected(), 2);
}

} // namespace
