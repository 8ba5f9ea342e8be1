#pragma once
// A cue sheet read for its tracks: FILE, TRACK, INDEX 01 and TITLE lines, the way a copy of a disc
// describes its per-track (or whole-disc) audio files. Other lines (REM, PERFORMER, CATALOG, FLAGS,
// ISRC, INDEX 00...) are skipped; PREGAP and POSTGAP are refused, since they would add silence
// that is in no file. Text is UTF-8, or Latin-1 when it is not valid UTF-8.
//
// Invariants of a sheet without Error(): at least one track, every track has an INDEX 01 and
// belongs to a file, tracks of one file start in ascending order.

#include <QList>
#include <QString>

class TAudioCueSheet {
public:
    struct TFile {
        QString name; // as the sheet writes it
        QString path; // resolved against the sheet's folder
        QString type; // the type word, upper case (WAVE, BINARY...); empty when there is none
    };
    struct TTrack {
        int number = 0;
        int file = -1;     // index into Files()
        qint32 start = -1; // INDEX 01 in sectors from the start of its file
        bool audio = true; // TRACK NN AUDIO; any other mode is a data track
        QString title;     // one line; empty when the sheet gives none
    };

    static TAudioCueSheet Read(const QString& sheetPath);

    // Whether the tracks come from audio files (a type word WAVE, FLAC, AIFF or MP3, or a file
    // libsndfile opens) rather than from raw sectors, which libcdio reads.
    bool NamesAudioFiles() const;

    // Why the sheet cannot be used, naming the sheet and the line; empty when it can.
    const QString& Error() const { return FError; }
    const QString& SheetName() const { return FSheetName; }
    const QString& Title() const { return FTitle; }
    const QList<TFile>& Files() const { return FFiles; }
    const QList<TTrack>& Tracks() const { return FTracks; }

private:
    void Parse(const QString& text);
    void Fail(int line, const QString& why);

    QString FSheetName;
    QString FFolder;
    QString FError;
    QString FTitle;
    QList<TFile> FFiles;
    QList<TTrack> FTracks;
};
