// Profile files: reading keys from a large file (10,000 sections of 24 keys, about 6 MB) through
// the parse cache, next to the naive behaviour of parsing the file again for every read, in the
// same run on the same file. Also the one-time parse and a single atomic write for scale.

#include "benchmain.h"
#include "core/profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Sections = 10'000;
constexpr int SongsPerSection = 20;

struct TLargeFile {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("large.ini"));

    TLargeFile() {
        QByteArray text;
        for (int s = 0; s < Sections; ++s) {
            text += "[" + QByteArray::number(1000000 + s * 37) + "]\n";
            text += "DatabaseVersion=2.7\nTitle=Album number " + QByteArray::number(s) + "\n";
            text += "NumberOfTracks=" + QByteArray::number(SongsPerSection) + "\n";
            for (int t = 1; t <= SongsPerSection; ++t)
                text += "Song" + QByteArray::number(t) + "=A song title of middling length " +
                        QByteArray::number(t) + "\n";
        }
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }

    // A section in the middle of the file.
    static QString Middle() { return QString::number(1000000 + (Sections / 2) * 37); }
};

TLargeFile& File() {
    static TLargeFile file;
    return file;
}

// What loading one album reads: title, version, track count and every song title.
void ReadAlbum(const TProfile& profile, const QString& section) {
    QString text;
    benchmark::DoNotOptimize(profile.ReadString(section, "Title", "???", text, 50));
    benchmark::DoNotOptimize(profile.ReadString(section, "DatabaseVersion", "1.4", text, 4));
    const int tracks = profile.ReadInt(section, "NumberOfTracks", 0);
    for (int t = 1; t <= tracks; ++t)
        benchmark::DoNotOptimize(
            profile.ReadString(section, QStringLiteral("Song%1").arg(t), "", text, 100));
}

void BM_ReadAlbumCached(benchmark::State& state) {
    TProfile profile(File().path);
    const QString section = TLargeFile::Middle();
    ReadAlbum(profile, section); // the first read parses
    for (auto _ : state)
        ReadAlbum(profile, section);
    state.SetItemsProcessed(state.iterations() * (SongsPerSection + 3));
}
BENCHMARK(BM_ReadAlbumCached)->Unit(benchmark::kMicrosecond);

void BM_ReadAlbumParsingEveryRead(benchmark::State& state) {
    TProfile profile(File().path);
    const QString section = TLargeFile::Middle();
    QString text;
    for (auto _ : state) {
        TProfile::ClearCache();
        benchmark::DoNotOptimize(profile.ReadString(section, "Title", "???", text, 50));
        TProfile::ClearCache();
        benchmark::DoNotOptimize(profile.ReadString(section, "DatabaseVersion", "1.4", text, 4));
        TProfile::ClearCache();
        const int tracks = profile.ReadInt(section, "NumberOfTracks", 0);
        for (int t = 1; t <= tracks; ++t) {
            TProfile::ClearCache();
            benchmark::DoNotOptimize(
                profile.ReadString(section, QStringLiteral("Song%1").arg(t), "", text, 100));
        }
    }
    state.SetItemsProcessed(state.iterations() * (SongsPerSection + 3));
}
BENCHMARK(BM_ReadAlbumParsingEveryRead)->Unit(benchmark::kMillisecond);

void BM_ReadSectionCached(benchmark::State& state) {
    TProfile profile(File().path);
    const QString section = TLargeFile::Middle();
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.ReadSection(section));
}
BENCHMARK(BM_ReadSectionCached)->Unit(benchmark::kMicrosecond);

void BM_ParseOnce(benchmark::State& state) {
    TProfile profile(File().path);
    for (auto _ : state) {
        TProfile::ClearCache();
        benchmark::DoNotOptimize(profile.ReadInt("General", "Version", 0));
    }
}
BENCHMARK(BM_ParseOnce)->Unit(benchmark::kMillisecond);

void BM_WriteOneKey(benchmark::State& state) {
    TProfile profile(File().path);
    const QString section = TLargeFile::Middle();
    int n = 0;
    for (auto _ : state)
        profile.WriteString(section, "CurrentSong", QString::number(++n % 20));
}
BENCHMARK(BM_WriteOneKey)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv, File);
}
