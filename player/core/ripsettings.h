#pragma once
// What the Rip dialog and Open Image remember in Korvo.ini between runs: the folder copies go
// to, the read offset of each drive, and the disc image chosen in place of the drive.
//
// On disk: [Rip] Destination=<folder>; [Read Offsets] <drive or image path>=<samples>;
// [Drive] Image=<path>. A missing or unreadable value gives the default; offsets outside
// -3000..3000 are clamped into it.

#include <QString>

class TRipSettings {
public:
    static constexpr int MinOffset = -3000;
    static constexpr int MaxOffset = 3000;

    explicit TRipSettings(QString settingsPath);

    // The folder chosen last; the desktop's music folder (XDG), else ~/Music, before that.
    QString Destination() const;
    void SetDestination(const QString& folder);
    static QString DefaultDestination();

    // The read offset in samples used last with this drive; 0 for a drive never used.
    int ReadOffset(const QString& drive) const;
    void SetReadOffset(const QString& drive, int samples);

    // The disc image the player plays instead of the drive; empty for the drive.
    QString Image() const;
    // An empty path forgets the image.
    void SetImage(const QString& path);

private:
    QString FPath;
};
