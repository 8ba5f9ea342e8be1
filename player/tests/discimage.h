#pragma once
// Disc images for tests, made by the same generator that makes the demo disc: one track per
// length in seconds, optionally one of them a data track, in a temporary folder.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class TDiscImage {
public:
    // Writes NAME.cue and NAME.bin; check Cue() is not empty.
    explicit TDiscImage(const QList<double>& seconds, int dataTrack = 0,
                        const QString& name = QStringLiteral("disc")) {
        QStringList arguments{FDir.filePath(name)};
        for (double s : seconds)
            arguments << QString::number(s);
        if (dataTrack > 0)
            arguments << QStringLiteral("--data") << QString::number(dataTrack);
        const int code = QProcess::execute(Generator(), arguments);
        EXPECT_EQ(code, 0) << "korvo_demodisc failed";
        if (code == 0) {
            FCue = FDir.filePath(name + QStringLiteral(".cue"));
            FBin = FDir.filePath(name + QStringLiteral(".bin"));
        }
    }

    static QString Generator() {
        return QDir(qEnvironmentVariable("SUITE_BINARY_DIR"))
            .filePath(QStringLiteral("player/demo/korvo_demodisc"));
    }
    static QString DemoDisc() {
        return QDir(qEnvironmentVariable("SUITE_BINARY_DIR"))
            .filePath(QStringLiteral("player/demo/korvo-demo.cue"));
    }

    const QString& Cue() const { return FCue; }
    const QString& Bin() const { return FBin; }
    QString FilePath(const QString& name) const { return FDir.filePath(name); }

    // Cuts the BIN down to a number of bytes, as a damaged copy or a disc pulled out would.
    bool TruncateBin(qint64 bytes) const { return QFile::resize(FBin, bytes); }

private:
    QTemporaryDir FDir;
    QString FCue;
    QString FBin;
};
