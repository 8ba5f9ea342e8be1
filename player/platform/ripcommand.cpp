#include "platform/ripcommand.h"

#include "core/albumdatabase.h"
#include "core/app.h"
#include "platform/cdio.h"
#include "platform/discripper.h"
#include "platform/ripverifier.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int kAllGood = 0;
constexpr int kErrors = 1;
constexpr int kNoDisc = 2;
constexpr int kMaxOffset = 3000;

int Fail(const QString& message) {
    QTextStream(stderr) << message << Qt::endl;
    return kErrors;
}

// The player's key of a disc: its length and the first ten tracks' lengths in whole seconds.
QString AlbumKey(const TDiscToc& toc) {
    QString key = QString::number(toc.DiscLengthMs() / 1000);
    for (int t = 1; t <= std::min(toc.TrackCount(), 10); ++t)
        key += QString::number(toc.TrackLengthMs(t) / 1000);
    return key;
}

// The album database's titles for the disc; titles it only has by default are left to the ripper
// (CD-TEXT, else "Track NN").
void TakeTitles(TRipOptions& options) {
    const QString source = options.Source;
    const driver_id_t driver = QFileInfo(source).isFile() ? ImageDriver(source) : DRIVER_DEVICE;
    const TDiscToc toc = ReadToc(OpenCdio(source, driver).get());
    if (!toc.IsValid())
        return;
    const TApp app(QCoreApplication::applicationFilePath());
    const TAlbumDatabase database(app.DatabasePath());
    QStringList sections;
    const QString key = AlbumKey(toc);
    if (!database.ListSections(sections) || !sections.contains(key))
        return;
    const TAlbumRecord album = database.ReadAlbum(key, toc.TrackCount());
    if (album.title != QLatin1String("Untitled"))
        options.AlbumTitle = album.title;
    for (int t = 1; t <= album.titles.size(); ++t)
        options.TrackTitles << (album.titles[t - 1] == TAlbumDatabase::DefaultTrackTitle(t)
                                    ? QString()
                                    : album.titles[t - 1]);
}

int Rip(const TRipOptions& options) {
    TDiscRipper ripper(options);
    QTextStream err(stderr);
    QObject::connect(
        &ripper, &TDiscRipper::trackStarted, &ripper,
        [&err](int index, int count, int, const QString& title) {
            err << QStringLiteral("Track %1 of %2 - %3").arg(index).arg(count).arg(title)
                << Qt::endl;
        });
    int lastPercent = -1;
    QObject::connect(&ripper, &TDiscRipper::progress, &ripper,
                     [&](double, double disc, double speed, int left) {
                         const int percent = int(disc * 100);
                         if (percent / 10 == lastPercent / 10)
                             return;
                         lastPercent = percent;
                         err << QStringLiteral("  %1 %  %2x  %3 s left")
                                    .arg(percent)
                                    .arg(speed, 0, 'f', 1)
                                    .arg(left)
                             << Qt::endl;
                     });
    int status = kErrors;
    QObject::connect(&ripper, &TDiscRipper::finished, &ripper, [&](const TRipReport& report) {
        for (const TRipTrackResult& track : report.Tracks)
            err << QStringLiteral("Track %1: %2").arg(track.Track).arg(track.Text()) << Qt::endl;
        if (!report.Message.isEmpty())
            err << report.Message << Qt::endl;
        if (!report.Tracks.isEmpty())
            err << report.Summary() << Qt::endl;
        if (!report.LogPath.isEmpty())
            QTextStream(stdout) << report.LogPath << Qt::endl;
        status = report.NoDisc ? kNoDisc : report.AllGood() ? kAllGood : kErrors;
        QCoreApplication::exit(status);
    });
    ripper.Start();
    QCoreApplication::exec();
    return status;
}

int Verify(const QString& folder) {
    const TRipVerifier::TResult result = TRipVerifier::Verify(folder);
    if (!result.error.isEmpty())
        return Fail(result.error);
    QTextStream out(stdout);
    for (const TRipVerifier::TTrack& track : result.tracks) {
        if (track.agrees)
            out << QStringLiteral("Track %1 (%2): agrees").arg(track.track).arg(track.file)
                << Qt::endl;
        else
            out << QStringLiteral("Track %1 (%2) differs: %3")
                       .arg(track.track)
                       .arg(track.file, track.problem)
                << Qt::endl;
    }
    return result.AllAgree() ? kAllGood : kErrors;
}
} // namespace

std::optional<QList<int>> TRipCommand::ParseTracks(const QString& text) {
    QList<int> tracks;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList range = part.trimmed().split(QLatin1Char('-'));
        bool okFirst = false, okLast = false;
        const int first = range.value(0).toInt(&okFirst);
        const int last = range.size() == 2 ? range.value(1).toInt(&okLast) : first;
        if (!okFirst || (range.size() == 2 && !okLast) || range.size() > 2 || first < 1 ||
            last < first || last > 99)
            return std::nullopt;
        for (int t = first; t <= last; ++t)
            if (!tracks.contains(t))
                tracks << t;
    }
    std::sort(tracks.begin(), tracks.end());
    return tracks;
}

std::optional<TRipOptions> TRipCommand::ParseRip(const QStringList& arguments, QString* error) {
    TRipOptions options;
    auto fail = [error](const QString& message) {
        *error = message;
        return std::nullopt;
    };
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (a == QLatin1String("--format") && hasValue) {
            const QString format = arguments[++i];
            if (format == QLatin1String("flac"))
                options.Format = TRipOptions::TFormat::Flac;
            else if (format == QLatin1String("wav"))
                options.Format = TRipOptions::TFormat::Wav;
            else
                return fail(QStringLiteral("--format takes flac or wav, not \"%1\".").arg(format));
        } else if (a == QLatin1String("--no-test")) {
            options.TestAndCopy = false;
        } else if (a == QLatin1String("--offset") && hasValue) {
            bool ok = false;
            options.ReadOffset = arguments[++i].toInt(&ok);
            if (!ok || std::abs(options.ReadOffset) > kMaxOffset)
                return fail(
                    QStringLiteral("--offset takes a number of samples from -3000 to 3000."));
        } else if (a == QLatin1String("--tracks") && hasValue) {
            const std::optional<QList<int>> tracks = ParseTracks(arguments[++i]);
            if (!tracks)
                return fail(QStringLiteral("--tracks takes track numbers such as 1,3-5."));
            options.Tracks = *tracks;
        } else if (a.startsWith(QLatin1String("--"))) {
            return fail(QStringLiteral("Unknown or incomplete option \"%1\".").arg(a));
        } else if (options.Destination.isEmpty()) {
            options.Destination = a;
        } else {
            return fail(QStringLiteral("Only one folder to copy into, please."));
        }
    }
    if (options.Destination.isEmpty())
        return fail(QStringLiteral("Usage: korvo32 --rip [--format flac|wav] [--no-test] "
                                   "[--offset N] [--tracks 1,3-5] DIR"));
    options.Source = qEnvironmentVariable("KORVO_CDROM");
    return options;
}

std::optional<int> TRipCommand::RunIfAsked(int& argc, char** argv) {
    if (argc < 2)
        return std::nullopt;
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (command != QLatin1String("--rip") && command != QLatin1String("--verify"))
        return std::nullopt;
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(TApp::Name());
    const QStringList arguments = QCoreApplication::arguments().mid(2);
    if (command == QLatin1String("--verify")) {
        if (arguments.size() != 1)
            return Fail(QStringLiteral("Usage: korvo32 --verify FOLDER"));
        return Verify(arguments.first());
    }
    QString error;
    std::optional<TRipOptions> options = ParseRip(arguments, &error);
    if (!options)
        return Fail(error);
    TakeTitles(*options);
    return Rip(*options);
}
