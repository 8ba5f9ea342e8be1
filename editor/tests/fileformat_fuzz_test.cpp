// Feeds thousands of mutated headers of every file kind to LoadFile, libsndfile's among them. This
// test is built with AddressSanitizer and UndefinedBehaviorSanitizer, so an out-of-range read, an
// overflow or a division by zero fails it even when nothing visibly breaks.

#include "capturereporter.h"
#include "core/samplebuffer.h"
#include "filebytes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// libsndfile 1.2.0 leaks libvorbis's stream information when it gives up on a damaged Ogg
// Vorbis file; the leak is theirs, and must not hide one of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:vorbis_info_init\n";
}

namespace {

QByteArray Seed(FileKind kind, int variant) {
    switch (kind) {
    case FileKind::Wave: {
        const QByteArray list = QByteArray("INFO") + CFileBytes()
                                                         .Chunk("INAM", QByteArray("Song", 5))
                                                         .Chunk("ICMT", QByteArray("x"))
                                                         .Bytes();
        QByteArray format = FormatBody(1, 2, 22050, 16);
        if (variant == 1)
            format = FormatBody(0xFFFE, 2, 22050, 24) +
                     CFileBytes()
                         .LE16(22)
                         .LE16(24)
                         .LE32(3)
                         .LE16(1)
                         .Raw("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)
                         .Bytes();
        if (variant == 2)
            format = FormatBody(3, 1, 8000, 32);
        if (variant == 3)
            format = FormatBody(7, 1, 8000, 8);
        return WaveFile(CFileBytes()
                            .Chunk("LIST", list)
                            .Chunk("fmt ", format)
                            .Chunk("fact", QByteArray(4, 1))
                            .Chunk("data", QByteArray(48, 0x33))
                            .Bytes());
    }
    case FileKind::Voice: {
        CFileBytes voice;
        voice.Text("Creative Voice File\x1A").LE16(26).LE16(0x010A).LE16(0x1129);
        if (variant == 1)
            voice.U8(8).LE24(4).LE16(53927).U8(0).U8(1);
        voice.U8(1).LE24(10).U8(211).U8(0).Fill(8, 0x70);
        voice.U8(3).LE24(3).LE16(40).U8(156);
        voice.U8(2).LE24(5).Fill(5, 0x90);
        voice.U8(4).LE24(2).LE16(1);
        voice.U8(0);
        return voice.Bytes();
    }
    case FileKind::SunAudio: {
        CFileBytes au;
        if (variant == 1)
            au.Text("dns.").LE32(24).LE32(16).LE32(1).LE32(8000).LE32(1);
        else
            au.Text(".snd").BE32(24).BE32(16).BE32(variant == 2 ? 2 : 3).BE32(8000).BE32(2);
        return au.Fill(16, 0x41).Bytes();
    }
    case FileKind::Raw:
        break;
    default: {
        // The libsndfile kinds, as the editor writes them, with a text to parse.
        QTemporaryDir dir;
        CSampleBuffer sample;
        const SampleLayout layout = variant == 0 ? SampleLayout::Stereo16 : SampleLayout::Mono8;
        if (!MakeSample(sample, dir, QByteArray(64, 0x35), layout, 8000))
            return QByteArray();
        sample.SetInfo(InfoName, QStringLiteral("Song"));
        const QString path = dir.filePath(QStringLiteral("seed"));
        return sample.SaveFile(path, kind) ? ReadFile(path) : QByteArray();
    }
    }
    return QByteArray(16, 0);
}

// Values that tend to break size arithmetic.
quint32 Interesting(std::mt19937& random, int fileSize) {
    const quint32 values[] = {0,
                              1,
                              2,
                              3,
                              4,
                              16,
                              18,
                              24,
                              40,
                              0x7F,
                              0x80,
                              0xFF,
                              0xFFFF,
                              0x10000,
                              0xFFFFFF,
                              0x7FFFFFFF,
                              0x80000000,
                              0xFFFFFFFE,
                              0xFFFFFFFF,
                              quint32(fileSize),
                              quint32(fileSize - 8),
                              quint32(fileSize + 1)};
    return values[random() % (sizeof values / sizeof values[0])];
}

QByteArray Mutate(QByteArray bytes, std::mt19937& random) {
    const int header = std::min<int>(int(bytes.size()), 96);
    if (header < 4)
        return bytes + QByteArray(1 + int(random() % 9), char(random()));
    switch (random() % 5) {
    case 0: // flip a few bytes of the header
        for (int n = 1 + int(random() % 4); n > 0; --n)
            bytes[int(random() % header)] = char(random());
        break;
    case 1:
    case 2: { // a size-like field gets an extreme value, in either byte order
        const int at = int(random() % (header - 3));
        const quint32 v = Interesting(random, int(bytes.size()));
        const bool big = random() % 2;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = char(big ? v >> (24 - 8 * i) : v >> (8 * i));
        break;
    }
    case 3: // cut the file short
        bytes.truncate(int(random() % bytes.size()));
        break;
    case 4: // insert junk in the header
        bytes.insert(int(random() % header), QByteArray(1 + int(random() % 9), char(random())));
        break;
    }
    return bytes;
}

struct FuzzCase {
    FileKind kind;
    int variants;
    // Fewer for libsndfile's formats: what is tested there is our side of its answers.
    int rounds = 3000;
};

class MutatedHeaders : public ::testing::TestWithParam<FuzzCase> {};

TEST_P(MutatedHeaders, LoadWithoutFaultsAndKeepTheInvariants) {
    const FuzzCase& c = GetParam();
    QTemporaryDir dir;
    CCaptureReporter capture;
    std::mt19937 random(1234u + unsigned(c.kind));
    const QString path = dir.filePath(QStringLiteral("fuzz"));
    std::vector<QByteArray> seeds;
    for (int variant = 0; variant < c.variants; ++variant) {
        seeds.push_back(Seed(c.kind, variant));
        ASSERT_FALSE(seeds.back().isEmpty());
    }
    for (int round = 0; round < c.rounds; ++round) {
        QByteArray bytes = seeds[std::size_t(round % c.variants)];
        for (int n = 1 + int(random() % 3); n > 0; --n)
            bytes = Mutate(bytes, random);
        ASSERT_FALSE(WriteFile(dir, QStringLiteral("fuzz"), bytes).isEmpty());

        CSampleBuffer buffer;
        // The raw fallback reads any file that exists, so every load ends with data.
        ASSERT_EQ(buffer.LoadFile(path, c.kind), 1) << "round " << round;
        ASSERT_TRUE(buffer.HasData());
        ASSERT_EQ(buffer.GetFrameCount(), buffer.GetByteLength() / buffer.BytesPerFrame());
        ASSERT_EQ(buffer.GetLayout(), MakeLayout(buffer.GetFormat().channels != 1,
                                                 DepthForBits(buffer.GetFormat().bitsPerSample)));
        // Only silence blocks of a voice file may hold more than twice the file's bytes, and the
        // compressed formats of libsndfile.
        if (c.kind == FileKind::Wave || c.kind == FileKind::SunAudio) {
            ASSERT_LE(buffer.GetByteLength(), 2u * quint32(bytes.size()));
        }
        // Saving syncs to disk, so only some rounds save what they loaded.
        if (round % 500 == 0) {
            for (FileKind kind : {FileKind::Wave, FileKind::Voice, FileKind::SunAudio})
                buffer.SaveFile(dir.filePath(QStringLiteral("saved")), kind);
        }
        capture.messages.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MutatedHeaders,
    ::testing::Values(FuzzCase{FileKind::Wave, 4}, FuzzCase{FileKind::Voice, 2},
                      FuzzCase{FileKind::SunAudio, 3}, FuzzCase{FileKind::Flac, 2, 1000},
                      FuzzCase{FileKind::Aiff, 2, 1000}, FuzzCase{FileKind::OggVorbis, 1, 1000},
                      FuzzCase{FileKind::Opus, 1, 1000}, FuzzCase{FileKind::Caf, 2, 1000},
                      FuzzCase{FileKind::Wave64, 2, 1000}, FuzzCase{FileKind::Rf64, 2, 1000}));

} // namespace
