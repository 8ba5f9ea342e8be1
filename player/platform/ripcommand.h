#pragma once
// The windowless copy and check of a disc, beside a running player (it is no second instance):
//   korvo32 --rip [--format flac|wav] [--no-test] [--offset N] [--tracks 1,3-5] DIR
//     copies the disc in the drive (or KORVO_CDROM) into a new album folder under DIR, with the
//     titles of the album database; progress on standard error, the log's path on standard
//     output; exit 0 when every track was copied without errors, 1 when any had errors or a file
//     could not be written, 2 when there is no audio disc.
//   korvo32 --verify FOLDER
//     recomputes the checksums of the files the folder's CUE sheet names and compares them with
//     its log; exit 0 when all agree, 1 naming each track that differs.

#include "core/ripoptions.h"

#include <QStringList>

#include <optional>

class TRipCommand {
public:
    // The exit status when argv asks for --rip or --verify; none otherwise.
    static std::optional<int> RunIfAsked(int& argc, char** argv);

    // The options of a --rip command line (arguments after "--rip"); none with the reason in
    // error.
    static std::optional<TRipOptions> ParseRip(const QStringList& arguments, QString* error);
    // "1,3-5" as track numbers; none when it is not such a list.
    static std::optional<QList<int>> ParseTracks(const QString& text);
};
