#pragma once
// The link between a player and its play-out: the small process of ours that plays the rest of a
// disc after the player has gone (our backends make the sound inside the player's process, so the
// disc would otherwise stop with it).
//
// The play-out listens on a local socket named after the player's data directory and the user,
// so the next player of that folder finds it. A request is one line: "where" (the answer only) or
// "end" (the play-out stops its sound, answers and exits). The answer is one line,
// "playing <ms> <pid> <source>": the position heard so far in ms from the first track's start,
// the play-out's process id, and the drive or image it plays as the player named it.
//
// The play-out is the player's own program, started as
//   korvo32 --play-out SOURCE FROM-MS HEARD-AT DATA-FOLDER
// where HEARD-AT (ms since the epoch) is when FROM-MS was heard; the play-out starts as much later
// on the disc as it started later than that, so the music goes on where the player left it.

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <optional>

// Hand-offs and take-overs, at info level: they explain a disc that plays on without a window.
Q_DECLARE_LOGGING_CATEGORY(lcPlayOut)

// What a player leaves to a play-out.
struct TPlayOutRequest {
    QString source;
    quint32 fromMs = 0;
    qint64 heardAt = 0;
    QString dataDirectory;

    bool operator==(const TPlayOutRequest& other) const {
        return source == other.source && fromMs == other.fromMs && heardAt == other.heardAt &&
               dataDirectory == other.dataDirectory;
    }
};

// What a play-out answers.
struct TPlayOutState {
    quint32 positionMs = 0;
    qint64 pid = 0;
    QString source;

    bool operator==(const TPlayOutState& other) const {
        return positionMs == other.positionMs && pid == other.pid && source == other.source;
    }
};

namespace PlayOut {

inline const QByteArray kWhere = "where";
inline const QByteArray kEnd = "end";
inline const QString kOption = QStringLiteral("--play-out");

// The socket of the play-out of one data directory (the same for every spelling of the folder).
QString ServerName(const QString& dataDirectory);

// The arguments after the program's name; and back, with a message saying what is wrong.
QStringList Arguments(const TPlayOutRequest& request);
std::optional<TPlayOutRequest> ParseArguments(const QStringList& arguments, QString* error);

// One answer line, with its newline; and back (none for anything malformed).
QByteArray FormatState(const TPlayOutState& state);
std::optional<TPlayOutState> ParseState(const QByteArray& line);

// Sends a request to the play-out of a data directory; none when there is none, or it does not
// answer within timeoutMs (a stale socket or a hung process never holds the caller longer).
std::optional<TPlayOutState> Ask(const QString& dataDirectory, const QByteArray& request,
                                 int timeoutMs);

// Starts a detached play-out of this program and waits until it plays, letting this process's
// own events (and so its own playback) go on meanwhile; false when it could not start or did not
// answer in time (it is then told to end).
bool Start(const TPlayOutRequest& request);

} // namespace PlayOut
