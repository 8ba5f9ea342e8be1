#pragma once
// A CD-audio service for unit tests whose clock the test moves by hand: Advance(ms) plays on and
// ends a range with its completion, exactly when the test says. Every request is logged so a test
// can check what the player asked of the drive.

#include "core/cdaudioservice.h"

#include <QMetaObject>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

class TManualDrive : public TCDAudioService {
public:
    // Track lengths in ms; track 1 starts at firstStart.
    explicit TManualDrive(QVector<quint32> trackLengths = {}, quint32 firstStart = 0)
        : lengths(std::move(trackLengths)), firstStart(firstStart) {}

    void InsertDisc(QVector<quint32> trackLengths) {
        lengths = std::move(trackLengths);
        ready = true;
        position = firstStart;
    }
    void RemoveDisc() {
        EndRange(TCDCompletion::Aborted);
        ready = false;
    }

    // Moves the clock: a playing drive moves its position and ends its range at "to".
    void Advance(quint32 ms) {
        if (!playing || stuck)
            return;
        position += ms;
        if (position >= rangeEnd) {
            position = rangeEnd;
            playing = false;
            if (notifyPending) {
                notifyPending = false;
                emit completed(TCDCompletion::Successful);
            }
        }
    }

    TCDError Open() override {
        ++openCalls;
        log << QStringLiteral("open");
        return openFails ? TCDError::NoDevice : TCDError::None;
    }
    void Close() override {
        playing = false;
        notifyPending = false;
        log << QStringLiteral("close");
    }
    TCDStatus Ready() override { return {TCDError::None, ready ? 1u : 0u}; }
    TCDStatus TrackCount() override {
        return ready ? TCDStatus{TCDError::None, static_cast<quint32>(lengths.size())}
                     : TCDStatus{TCDError::NotReady, 0};
    }
    TCDStatus DiscLength() override {
        quint32 total = 0;
        for (quint32 length : lengths)
            total += length;
        return ready ? TCDStatus{TCDError::None, total} : TCDStatus{TCDError::NotReady, 0};
    }
    TCDStatus TrackStart(int t) override {
        if (!ready || t < 1 || t > lengths.size())
            return {TCDError::InvalidTrack, 0};
        quint32 start = firstStart;
        for (int i = 1; i < t; ++i)
            start += lengths[i - 1];
        return {TCDError::None, start};
    }
    TCDStatus TrackLength(int t) override {
        if (!ready || t < 1 || t > lengths.size())
            return {TCDError::InvalidTrack, 0};
        return {TCDError::None, lengths[t - 1]};
    }
    TDiscTitles Titles() override { return ready ? titles : TDiscTitles(); }
    TCDStatus Position() override {
        return {ready ? TCDError::None : TCDError::NotReady, position};
    }
    TCDMode Mode() override {
        if (!ready)
            return TCDMode::NotReady;
        return playing ? TCDMode::Playing : (paused ? TCDMode::Paused : TCDMode::Stopped);
    }

    TCDError Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) override {
        log << QStringLiteral("play %1 %2 %3")
                   .arg(from ? QString::number(*from) : QStringLiteral("-"),
                        to ? QString::number(*to) : QStringLiteral("-"), notify ? "n" : "-");
        if (!ready)
            return TCDError::NotReady;
        if (playFails)
            return TCDError::Hardware;
        EndRange(TCDCompletion::Superseded);
        if (from)
            position = *from;
        rangeEnd = to ? *to : DiscLength().value + firstStart;
        playing = true;
        paused = false;
        notifyPending = notify;
        return TCDError::None;
    }
    TCDError Pause() override {
        log << QStringLiteral("pause");
        EndRange(TCDCompletion::Aborted);
        paused = true;
        return TCDError::None;
    }
    TCDError Stop() override {
        log << QStringLiteral("stop");
        EndRange(TCDCompletion::Aborted);
        paused = false;
        return TCDError::None;
    }
    TCDError Seek(TCDSeek where, quint32 ms) override {
        log << QStringLiteral("seek %1").arg(
            where == TCDSeek::Position ? ms : (where == TCDSeek::Start ? 0 : 999999));
        EndRange(TCDCompletion::Aborted);
        position = where == TCDSeek::Position ? ms : firstStart;
        return TCDError::None;
    }
    TCDError SetAudio(bool on) override {
        audioOn = on;
        log << QString::fromLatin1(on ? "audio on" : "audio off");
        return TCDError::None;
    }
    TCDError SetDoor(bool open) override {
        log << QString::fromLatin1(open ? "door open" : "door closed");
        if (open)
            RemoveDisc();
        return TCDError::None;
    }

    // The requests that start with a word ("play", "seek", ...).
    QStringList Requests(const QString& word) const {
        return log.filter(QRegularExpression("^" + word));
    }

    QVector<quint32> lengths;
    TDiscTitles titles; // the disc's CD-TEXT
    quint32 firstStart = 0;
    quint32 position = 0;
    quint32 rangeEnd = 0;
    bool ready = true;
    bool playing = false;
    bool paused = false;
    bool stuck = false; // the position stops moving (a scratched disc)
    bool notifyPending = false;
    bool openFails = false;
    bool playFails = false;
    bool audioOn = true;
    int openCalls = 0;
    QStringList log;

private:
    // An interrupted range reports its end later, through the event loop, like a real drive.
    void EndRange(TCDCompletion kind) {
        playing = false;
        if (!notifyPending)
            return;
        notifyPending = false;
        QMetaObject::invokeMethod(
            this, [this, kind] { emit completed(kind); }, Qt::QueuedConnection);
    }
};
