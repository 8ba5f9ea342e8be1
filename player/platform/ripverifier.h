#pragma once
// Checks a copy of a disc against its own log: every file the folder's CUE sheet names is read
// back (FLAC, WAV or anything libsndfile reads), and its CRC32 and AccurateRip v1/v2 are
// recomputed and compared with what the log recorded when it was ripped.

#include <QList>
#include <QString>

class TRipVerifier {
public:
    struct TTrack {
        int track = 0;
        QString file;
        bool agrees = false;
        QString problem; // why it does not agree
    };
    struct TResult {
        QString error; // the folder is no copy that can be checked; empty otherwise
        QList<TTrack> tracks;
        bool AllAgree() const;
    };

    static TResult Verify(const QString& folder);
};
