#pragma once
// The fields of the digital display, addressed by their control ids. The play controller and the
// album write texts here; the display window implements it and draws them. An empty text clears
// a field. Status words carry their fixed word while their state is on and an empty text otherwise.

#include <QString>

enum TDisplayField : int {
    FieldTime = 7732,
    FieldLength = 7731,
    FieldTrack = 7734,
    FieldTotal = 7733,
    WordPlay = 7803,
    WordPause = 7804,
    WordRepeat = 7805,
    WordMute = 17937,
    WordLoop = 7810,
    WordRandom = 7811,
};

class TDisplayFields {
public:
    virtual ~TDisplayFields() = default;
    virtual void SetFieldText(int controlId, const QString& text) = 0;
};

// The word a status field shows while its state is on ("PLAY", "PAUSE", ...); empty for other ids.
QString StatusWord(int controlId);

// "%02.02d:%02.02d" of whole minutes and remaining seconds; minutes are not limited to two digits.
QString FormatTime(int seconds);
// "%02.02d" of a count or track number.
QString FormatCount(int value);
