#pragma once
// A disc image for copying tests: tracks of noise and tones (every sample value matters to a
// checksum, and a tone shows a shifted copy), as raw sectors with a CUE sheet carrying CD-TEXT
// titles and a cdrdao TOC sheet naming the same data (its track lengths stay fixed when the data
// file is cut short, as a damaged image's do).

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

class TRipImage {
public:
    static constexpr int kFramesPerSector = 588;

    // One track per entry of whole sectors; titles for the CUE sheet's CD-TEXT.
    TRipImage(const QList<int>& sectors, const QStringList& titles, const QString& album) {
        std::mt19937 random(25);
        std::uniform_int_distribution<int> noise(-32768, 32767);
        for (int t = 0; t < sectors.size(); ++t) {
            FStarts << qint64(FSamples.size() / 2);
            const qint64 frames = qint64(sectors[t]) * kFramesPerSector;
            for (qint64 i = 0; i < frames; ++i) {
                // Odd tracks noise, even tracks a tone in each channel at different pitches.
                if (t % 2 == 0) {
                    FSamples.push_back(qint16(noise(random)));
                    FSamples.push_back(qint16(noise(random)));
                } else {
                    FSamples.push_back(qint16(20000 * std::sin(i * 0.0627 * (t + 1))));
                    FSamples.push_back(qint16(-15000 * std::sin(i * 0.0311 * (t + 2))));
                }
            }
        }
        FStarts << qint64(FSamples.size() / 2);
        QFile bin(FDir.filePath(QStringLiteral("disc.bin")));
        std::vector<qint16> le(FSamples.size());
        for (size_t i = 0; i < le.size(); ++i)
            le[i] = qToLittleEndian(FSamples[i]);
        bin.open(QIODevice::WriteOnly);
        bin.write(reinterpret_cast<const char*>(le.data()), qint64(le.size() * 2));
        bin.close();

        QString cue = QStringLiteral("TITLE \"%1\"\nFILE \"disc.bin\" BINARY\n").arg(album);
        QString toc = QStringLiteral("CD_DA\n");
        for (int t = 0; t < sectors.size(); ++t) {
            cue += QStringLiteral("  TRACK %1 AUDIO\n    TITLE \"%2\"\n    INDEX 01 %3\n")
                       .arg(t + 1, 2, 10, QLatin1Char('0'))
                       .arg(titles.value(t), Msf(FStarts[t] / kFramesPerSector));
            toc += QStringLiteral("TRACK AUDIO\nFILE \"disc.bin\" %1 %2\n")
                       .arg(Msf(FStarts[t] / kFramesPerSector), Msf(sectors[t]));
        }
        Write(QStringLiteral("disc.cue"), cue);
        Write(QStringLiteral("disc.toc"), toc);
    }

    QString Cue() const { return FDir.filePath(QStringLiteral("disc.cue")); }
    QString Toc() const { return FDir.filePath(QStringLiteral("disc.toc")); }
    QString Bin() const { return FDir.filePath(QStringLiteral("disc.bin")); }
    QString Path(const QString& name) const { return FDir.filePath(name); }

    // Track t's samples (interleaved stereo), shifted by offset frames; silence outside the disc.
    std::vector<qint16> Track(int t, int offset = 0) const {
        std::vector<qint16> out;
        const qint64 discFrames = qint64(FSamples.size() / 2);
        for (qint64 f = FStarts[t - 1] + offset; f < FStarts[t] + offset; ++f) {
            const bool inside = f >= 0 && f < discFrames;
            out.push_back(inside ? FSamples[size_t(2 * f)] : 0);
            out.push_back(inside ? FSamples[size_t(2 * f + 1)] : 0);
        }
        return out;
    }

private:
    static QString Msf(qint64 sectors) {
        return QStringLiteral("%1:%2:%3")
            .arg(sectors / 75 / 60, 2, 10, QLatin1Char('0'))
            .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
            .arg(sectors % 75, 2, 10, QLatin1Char('0'));
    }
    void Write(const QString& name, const QString& text) const {
        QFile file(FDir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }

    QTemporaryDir FDir;
    std::vector<qint16> FSamples;
    QList<qint64> FStarts;
};
