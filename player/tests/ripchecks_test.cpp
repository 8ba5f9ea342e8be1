// The pure parts of copying a disc: checksums, disc ids, names, CUE sheet and log.

#include "core/accuraterip.h"
#include "core/crc32.h"
#include "core/cuesheetwriter.h"
#include "core/discids.h"
#include "core/riplog.h"
#include "core/ripnames.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(Crc32, KnownValueAndAnySplitOfTheBytes) {
    const QByteArray text("123456789");
    EXPECT_EQ(TCrc32::Of(text), 0xCBF43926u) << "the standard check value";
    EXPECT_EQ(TCrc32::Of({}), 0u);
    QByteArray data;
    for (int i = 0; i < 1000; ++i)
        data += char(i * 7 + i / 13);
    for (int split : {1, 3, 8, 9, 500, 999}) {
        TCrc32 crc;
        crc.Add(data.constData(), split);
        crc.Add(data.constData() + split, data.size() - split);
        EXPECT_EQ(crc.Value(), TCrc32::Of(data)) << "split at " << split;
    }
}

struct TArCase {
    const char* name;
    std::vector<quint32> samples; // left in the low 16 bits
    qint64 frames;                // frames of value samples[0] when samples has one entry
    bool first, last;
    quint32 v1, v2;
};

std::vector<qint16> Frames(const TArCase& c) {
    std::vector<qint16> out;
    const qint64 count = c.samples.size() == 1 ? c.frames : qint64(c.samples.size());
    for (qint64 i = 0; i < count; ++i) {
        const quint32 s = c.samples[c.samples.size() == 1 ? 0 : size_t(i)];
        out.push_back(qint16(quint16(s & 0xffff)));
        out.push_back(qint16(quint16(s >> 16)));
    }
    return out;
}

class AccurateRipTable : public ::testing::TestWithParam<TArCase> {};

TEST_P(AccurateRipTable, ChecksumsWhole) {
    const TArCase& c = GetParam();
    const std::vector<qint16> frames = Frames(c);
    const qint64 count = qint64(frames.size() / 2);
    TAccurateRip whole(count, c.first, c.last);
    whole.Add(frames.data(), count);
    EXPECT_EQ(whole.V1(), c.v1);
    EXPECT_EQ(whole.V2(), c.v2);
    // In pieces, as the read loop feeds it sector by sector.
    TAccurateRip pieces(count, c.first, c.last);
    for (qint64 i = 0; i < count; i += 588)
        pieces.Add(frames.data() + 2 * i, std::min<qint64>(588, count - i));
    EXPECT_EQ(pieces.V1(), c.v1);
    EXPECT_EQ(pieces.V2(), c.v2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccurateRipTable,
    ::testing::Values(
        TArCase{"FullScaleTwoSamples",
                {0xFFFFFFFF, 0xFFFFFFFF},
                0,
                false,
                false,
                0xFFFFFFFD,
                0xFFFFFFFE},
        // positions 2940 and 2941 only: 2940 + 2941
        TArCase{"FirstTrackLeavesOutTheStart", {1}, 2941, true, false, 5881, 5881},
        // positions 1 and 2 only
        TArCase{"LastTrackLeavesOutTheEnd", {1}, 2942, false, true, 3, 3},
        // 1 + 2 + 3 = 6 times 0x10000 (right channel)
        TArCase{"RightChannelIsTheHighHalf", {0x10000}, 3, false, false, 0x60000, 0x60000},
        // a lone track is first and last: nothing of 5000 positions but 2940..2060 - none
        TArCase{"OnlyTrackShorterThanBothEnds", {5}, 5000, true, true, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The disc of the issue that asked for these ids: 10 tracks, sectors counted with the lead-in.
TDiscToc KnownDisc() {
    QVector<TTocTrack> tracks;
    for (qint32 offset : {150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455})
        tracks.append(TTocTrack(offset - TDiscIds::kLeadIn));
    return TDiscToc(tracks, 270335 - TDiscIds::kLeadIn);
}

TEST(DiscIds, KnownDisc) {
    const TDiscToc toc = KnownDisc();
    EXPECT_EQ(TDiscIds::MusicBrainz(toc), QStringLiteral("9AQWqQ0eCCwktwPPrIUIYkUw2Uo-"));
    EXPECT_EQ(TDiscIds::FreedbText(toc), QStringLiteral("890e120a"));
    EXPECT_EQ(TDiscIds::AccurateRip(toc), QStringLiteral("010-00154c2f-00af4fd4-890e120a"));
}

// One table for the names a copy gets: track files and the album folder beside folders that
// already exist.
struct TNameCase {
    const char* name;
    int track; // 0: the album folder
    QString title;
    QStringList existing;
    QString expected;
};

class RipNames : public ::testing::TestWithParam<TNameCase> {};

TEST_P(RipNames, Name) {
    const TNameCase& c = GetParam();
    QTemporaryDir dir;
    for (const QString& folder : c.existing)
        ASSERT_TRUE(QDir(dir.path()).mkdir(folder));
    if (c.track > 0) {
        EXPECT_EQ(TRipNames::TrackFileName(c.track, c.title, QStringLiteral("flac")), c.expected);
        return;
    }
    const QString made = TRipNames::MakeAlbumFolder(QDir(dir.path()), c.title);
    EXPECT_EQ(made, QDir(dir.path()).absoluteFilePath(c.expected));
    EXPECT_TRUE(QFileInfo(made).isDir());
    EXPECT_LE(QFileInfo(made).fileName().toUtf8().size(), TRipNames::kMaxNameBytes);
}

const QString kLong = QString(150, QChar(0x00E9)); // 300 bytes of UTF-8

INSTANTIATE_TEST_SUITE_P(
    Cases, RipNames,
    ::testing::Values(
        TNameCase{"PlainTrack", 3, QStringLiteral("Slow Tide"), {}, "03 - Slow Tide.flac"},
        TNameCase{"TwoDigitTrack", 12, QStringLiteral("X"), {}, "12 - X.flac"},
        TNameCase{"ForbiddenCharacters",
                  1,
                  QStringLiteral("a/b\\c:d*e?f\"g<h>i|j\tk"),
                  {},
                  "01 - a_b_c_d_e_f_g_h_i_j_k.flac"},
        TNameCase{"CutTo200BytesOfWholeCharacters",
                  1,
                  kLong,
                  {},
                  "01 - " + QString(95, QChar(0x00E9)) + ".flac"},
        TNameCase{"NewFolder", 0, QStringLiteral("Album"), {}, "Album"},
        TNameCase{"TakenFolderGetsTwo", 0, QStringLiteral("Album"), {"Album"}, "Album (2)"},
        TNameCase{
            "TwoTakenGetsThree", 0, QStringLiteral("Album"), {"Album", "Album (2)"}, "Album (3)"},
        TNameCase{"FolderCleaned", 0, QStringLiteral("AC/DC: Live"), {}, "AC_DC_ Live"},
        TNameCase{"NoTitle", 0, QString(), {}, "Unknown Album"},
        TNameCase{"DotDot", 0, QStringLiteral(".."), {}, "__"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CueSheet, OneFilePerTrackWithTitlesWithoutDoubleQuotes) {
    const QString text = TCueSheetWriter::Text(
        QStringLiteral("Say \"Hi\""), {{QStringLiteral("01 - A.flac"), QStringLiteral("A")},
                                       {QStringLiteral("03 - C.flac"), QStringLiteral("C")}});
    EXPECT_EQ(text, QStringLiteral("TITLE \"Say 'Hi'\"\n"
                                   "FILE \"01 - A.flac\" WAVE\n"
                                   "  TRACK 01 AUDIO\n"
                                   "    TITLE \"A\"\n"
                                   "    INDEX 01 00:00:00\n"
                                   "FILE \"03 - C.flac\" WAVE\n"
                                   "  TRACK 02 AUDIO\n"
                                   "    TITLE \"C\"\n"
                                   "    INDEX 01 00:00:00\n"));
}

TEST(RipLog, ReadsBackWhatVerifyingNeeds) {
    TRipLog log;
    log.program = QStringLiteral("korvo32 2.7");
    log.toc = TDiscToc({{0}, {13500}, {20000, false}}, 30000);
    TRipLogTrack one;
    one.track = 1;
    one.file = QStringLiteral("01 - A: B.flac");
    one.copyCrc = 0x0A1B2C3D;
    one.testCrc = 0x0A1B2C3D;
    one.arV1 = 0xFFFFFFFF;
    one.arV2 = 1;
    one.suspicious = QStringList{QStringLiteral("0:01.02")};
    one.status = QStringLiteral("Errors at 0:01.02");
    TRipLogTrack two;
    two.track = 2;
    two.status = QStringLiteral("Not copied");
    log.tracks = {one, two};
    log.verdict = QStringLiteral("There were errors in tracks 1, 2");
    const QString text = log.Text();
    EXPECT_TRUE(
        text.contains(QStringLiteral("      1  audio              0             13500  3:00.00")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("MusicBrainz disc id: ")));

    const std::optional<TRipLog> back = TRipLog::Parse(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->toc.LeadoutSector(), 30000);
    ASSERT_EQ(back->toc.TrackCount(), 3);
    EXPECT_FALSE(back->toc.Track(3).audio);
    ASSERT_EQ(back->tracks.size(), 2);
    EXPECT_EQ(back->tracks[0].file, one.file);
    EXPECT_EQ(back->tracks[0].copyCrc, one.copyCrc);
    EXPECT_EQ(back->tracks[0].testCrc, one.testCrc);
    EXPECT_EQ(back->tracks[0].arV1, one.arV1);
    EXPECT_EQ(back->tracks[0].arV2, one.arV2);
    EXPECT_EQ(back->tracks[0].status, one.status);
    EXPECT_TRUE(back->tracks[1].file.isEmpty());
    EXPECT_EQ(text.count(QStringLiteral("CRC32")), 2) << "no checksums for a track without a file";
    EXPECT_FALSE(back->tracks[1].testCrc);

    EXPECT_FALSE(TRipLog::Parse(QStringLiteral("not a log\n")));
    QString broken = text;
    broken.replace(QStringLiteral("Copy CRC32: 0A1B2C3D"), QStringLiteral("Copy CRC32: zz"));
    EXPECT_FALSE(TRipLog::Parse(broken)) << "a checksum that is no number";
}

TEST(RipLog, SectorTimeIsMinutesSecondsFrames) {
    EXPECT_EQ(TRipLog::SectorTime(0), QStringLiteral("0:00.00"));
    EXPECT_EQ(TRipLog::SectorTime(192 * 75 + 40), QStringLiteral("3:12.40"));
    EXPECT_EQ(TRipLog::SectorTime(61 * 60 * 75), QStringLiteral("61:00.00"));
}

} // namespace
