#pragma once
// A play controller on the hand-driven drive, with recorders for the display fields and status
// hints, options as a set of checked command ids, and its own temporary database file. The timer
// is stopped: tests call Tick() themselves.

#include "capturereporter.h"
#include "manualdrive.h"

#include "core/displayfields.h"
#include "core/mcidevice.h"
#include "core/playcontroller.h"
#include "core/randomgenerator.h"
#include "core/statushint.h"

#include <QMap>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

class TFieldRecorder : public TDisplayFields {
public:
    void SetFieldText(int controlId, const QString& text) override {
        fields[controlId] = text;
        ++writes[controlId];
    }
    QString operator[](int id) const { return fields.value(id); }
    QMap<int, QString> fields;
    QMap<int, int> writes;
};

class THintRecorder : public TStatusHint {
public:
    void ShowHint(const QString& text) override {
        shown << text;
        ++open;
        if (onShow)
            onShow(text);
    }
    void ClearHint() override { --open; }
    QStringList shown;
    int open = 0;
    // Runs while a hint is up, as waiting messages would run inside a long operation.
    std::function<void(const QString&)> onShow;
};

class ControllerFixture : public ::testing::Test {
protected:
    explicit ControllerFixture(QVector<quint32> lengths = {30000, 45000, 60000}) {
        auto service = std::make_unique<TManualDrive>(std::move(lengths));
        drive = service.get();
        device = std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(service));
        databasePath = folder.filePath(QStringLiteral("cdalb.idb"));
        controller = std::make_unique<TPlayController>(*device, databasePath);
        controller->SetDisplay(&fields);
        controller->SetStatusHint(&hints);
        controller->SetOptionQuery([this](int id) { return options.contains(id); });
        controller->SetUp();
        controller->Timer().stop();
        TRandomGenerator::Seed(20261208);
    }

    void Load(bool isExplicit = true) { ASSERT_EQ(controller->LoadAlbum(isExplicit), 0); }
    void Check(int commandId, bool on = true) {
        if (on)
            options.insert(commandId);
        else
            options.remove(commandId);
    }
    // Plays the clock to the end of the running range; its completion arrives at once.
    void FinishSong() { drive->Advance(10'000'000); }
    QList<int> QueueTracks() {
        QList<int> tracks;
        for (int i = 0; i < controller->Queue().Count(); ++i)
            tracks << controller->Queue().TrackNumber(i);
        return tracks;
    }
    quint32 StartOf(int track) { return drive->TrackStart(track).value; }

    QTemporaryDir folder;
    QString databasePath;
    TManualDrive* drive = nullptr;
    std::unique_ptr<MCIDevice> device;
    std::unique_ptr<TPlayController> controller;
    TFieldRecorder fields;
    THintRecorder hints;
    TCaptureReporter reporter;
    QSet<int> options;
};
