// Album database of 10,000 albums with 20 tracks each: loading one album and exporting the whole
// database, next to the same work done by re-reading the file for every key, the way plain
// profile functions behave. Both run in one process on one generated file.

#include "../player/tests/manualdrive.h"
#include "benchmain.h"

#include "core/albumdatabase.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/profile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int Albums = 10'000;
constexpr int TracksPerAlbum = 20;

const char* const Words[] = {"Blue",  "Night",  "River",   "Song",   "Of",     "The",    "Moon",
                             "Live",  "Heart",  "Dancing", "Rain",   "Street", "Golden", "Road",
                             "Fire",  "Silver", "Morning", "Echoes", "Home",   "Lonely", "Train",
                             "Ocean", "Summer", "Winter",  "Dream",  "Little", "City",   "Lights"};

QString Title(std::mt19937& random, int words) {
    QStringList parts;
    for (int i = 0; i < words; ++i)
        parts << QString::fromLatin1(Words[random() % std::size(Words)]);
    return parts.join(QLatin1Char(' '));
}

// The disc the drive holds; its album is written in the middle of the file.
QVector<quint32> DiscLengths() {
    QVector<quint32> lengths;
    for (int t = 1; t <= TracksPerAlbum; ++t)
        lengths << static_cast<quint32>(150'000 + t * 7'321);
    return lengths;
}

QString DiscKey() {
    auto service = std::make_unique<TManualDrive>(DiscLengths());
    MCIDevice device(QStringLiteral("cdaudio"), std::move(service));
    device.Open();
    TCDAlbum album(&device);
    album.ComputeKey();
    return album.Key();
}

struct TGeneratedDatabase {
    QTemporaryDir folder;
    QString path;
    QStringList keys;
    QString discKey;

    TGeneratedDatabase() {
        path = folder.filePath(QStringLiteral("cdalb.idb"));
        discKey = DiscKey();
        std::mt19937 random(7);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        QTextStream out(&file);
        for (int a = 0; a < Albums; ++a) {
            const QString key =
                a == Albums / 2 ? discKey
                                : QString::number(1000 + a) + QString::number(random() % 100000000);
            keys << key;
            out << '[' << key << "]\n"
                << "DatabaseVersion=2.7\nSavedAtTime=Tue Dec  8 00:03:30 2026\n"
                << "Title=" << Title(random, 3) << '\n'
                << "AlbumTotalLength=" << 2400 + a % 1200 << "\nNumberOfTracks=" << TracksPerAlbum
                << '\n'
                << "CurrentSong=" << a % TracksPerAlbum << '\n';
            QStringList order;
            for (int t = 1; t <= TracksPerAlbum; ++t) {
                out << "Song" << t << '=' << Title(random, 2 + static_cast<int>(random() % 4))
                    << '\n';
                order << QString::number(t);
            }
            out << "SongOrder=" << order.join(QLatin1Char(' ')) << "\n\n";
        }
    }
};

TGeneratedDatabase& Database() {
    static TGeneratedDatabase database;
    return database;
}

// GetPrivateProfileString without any cache: open the file and scan it for every single key.
QString NaiveRead(const QString& path, const QString& section, const QString& key,
                  const QString& def) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return def;
    const QByteArray header = '[' + section.toUtf8().toLower() + ']';
    const QByteArray wanted = key.toUtf8().toLower();
    bool inSection = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('[')) {
            if (inSection)
                return def;
            inSection = line.toLower() == header;
        } else if (inSection) {
            const int equals = line.indexOf('=');
            if (equals > 0 && line.left(equals).trimmed().toLower() == wanted)
                return QString::fromUtf8(line.mid(equals + 1).trimmed());
        }
    }
    return def;
}

// The reads a load makes, in its order, each one a scan of the file.
int NaiveLoad(const QString& path, const QString& key) {
    int characters = NaiveRead(path, key, "Title", "Untitled").size();
    const QString song1 = NaiveRead(path, key, "Song1", QString());
    characters += NaiveRead(path, key, "DatabaseVersion", song1.isEmpty() ? "2.7" : "2.0").size();
    for (int n = 1; n <= TracksPerAlbum; ++n)
        characters += NaiveRead(path, key, QStringLiteral("Song%1").arg(n), QString()).size();
    characters += NaiveRead(path, key, "SongOrder", QString()).size();
    characters += NaiveRead(path, key, "CurrentSong", "-1").size();
    return characters;
}

// Export's reads for one section: summary, then every track title.
QByteArray NaiveExportRecord(const QString& path, const QString& section) {
    QString line = NaiveRead(path, section, "Title", "???");
    NaiveRead(path, section, "DatabaseVersion", "1.4");
    const QString length = NaiveRead(path, section, "AlbumTotalLength", "0");
    const int tracks = NaiveRead(path, section, "NumberOfTracks", "0").toInt();
    line += ',' + QString::number(tracks) + ',' + length;
    for (int n = 1; n <= tracks; ++n)
        line += ',' + NaiveRead(path, section, QStringLiteral("Song%1").arg(n), QString());
    return (line + ',' + section + '\n').toUtf8();
}

void BM_LoadAlbum_PlayController(benchmark::State& state) {
    TGeneratedDatabase& database = Database();
    auto service = std::make_unique<TManualDrive>(DiscLengths());
    MCIDevice device(QStringLiteral("cdaudio"), std::move(service));
    TPlayController controller(device, database.path);
    controller.LoadAlbum(true); // the first read parses the file once
    for (auto _ : state) {
        controller.LoadAlbum(true);
        benchmark::DoNotOptimize(controller.Queue().Count());
    }
    if (controller.Queue().Count() != TracksPerAlbum || controller.Album().Title() == "Untitled")
        state.SkipWithError("the disc's album was not found in the database");
}

void BM_LoadAlbum_FirstAfterFileChange(benchmark::State& state) {
    TGeneratedDatabase& database = Database();
    TAlbumDatabase albums(database.path);
    for (auto _ : state) {
        TProfile::ClearCache();
        benchmark::DoNotOptimize(albums.ReadAlbum(database.discKey, TracksPerAlbum).titles.size());
    }
}

void BM_LoadAlbum_NaiveRereadPerKey(benchmark::State& state) {
    TGeneratedDatabase& database = Database();
    for (auto _ : state)
        benchmark::DoNotOptimize(NaiveLoad(database.path, database.discKey));
}

void BM_ExportDatabase(benchmark::State& state) {
    TGeneratedDatabase& database = Database();
    TAlbumDatabase albums(database.path);
    const QString out = database.folder.filePath(QStringLiteral("export.txt"));
    albums.Export(out);
    for (auto _ : state) {
        if (albums.Export(out) != TAlbumDatabase::TExportResult::Ok)
            state.SkipWithError("export failed");
    }
    state.counters["albums"] = Albums;
}

// Re-reading for every key makes a full export take hours, so this measures records for albums
// spread over the whole file and reports the time scaled to all 10,000 of them.
void BM_ExportDatabase_NaiveRereadPerKey_Scaled(benchmark::State& state) {
    TGeneratedDatabase& database = Database();
    constexpr int Sample = 20;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < Sample; ++i)
            benchmark::DoNotOptimize(
                NaiveExportRecord(database.path, database.keys[(i * Albums) / Sample + 7]));
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count() * Albums / Sample);
    }
    state.counters["albums_measured"] = Sample;
}

BENCHMARK(BM_LoadAlbum_PlayController)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAlbum_FirstAfterFileChange)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LoadAlbum_NaiveRereadPerKey)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportDatabase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ExportDatabase_NaiveRereadPerKey_Scaled)
    ->Unit(benchmark::kSecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarks<QCoreApplication>(argc, argv);
}
