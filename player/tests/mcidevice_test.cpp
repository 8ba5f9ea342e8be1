#include "capturereporter.h"
#include "manualdrive.h"

#include "core/mcidevice.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

namespace {

// The hand-driven drive, also recording which form of seek arrived and failing plays with a
// chosen code.
class TSeekRecordingDrive : public TManualDrive {
public:
    using TManualDrive::TManualDrive;
    TCDError Seek(TCDSeek where, quint32 ms) override {
        forms.append(where);
        return TManualDrive::Seek(where, ms);
    }
    TCDError Play(std::optional<quint32> from, std::optional<quint32> to, bool notify) override {
        const TCDError error = TManualDrive::Play(from, to, notify);
        return playCode ? static_cast<TCDError>(playCode) : error;
    }
    void Close() override {
        TManualDrive::Close();
        if (onClose)
            onClose();
    }
    QList<TCDSeek> forms;
    quint32 playCode = 0;
    std::function<void()> onClose;
};

class MciDeviceTest : public ::testing::Test {
protected:
    MciDeviceTest() {
        auto service = std::make_unique<TSeekRecordingDrive>(QVector<quint32>{30000, 45000, 60000});
        drive = service.get();
        device = std::make_unique<MCIDevice>(QStringLiteral("cdaudio"), std::move(service));
    }
    void Open() { ASSERT_EQ(device->Open(), 0u); }

    TSeekRecordingDrive* drive;
    std::unique_ptr<MCIDevice> device;
};

struct TClosedCall {
    const char* name;
    std::function<quint32(MCIDevice&)> call;
};

class ClosedDevice : public MciDeviceTest, public ::testing::WithParamInterface<TClosedCall> {};

TEST_P(ClosedDevice, ReturnsTwoWithoutAskingTheDrive) {
    EXPECT_EQ(GetParam().call(*device), Mci::kNotOpen);
    EXPECT_TRUE(drive->log.isEmpty()) << drive->log.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(device->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ClosedDevice,
    ::testing::Values(
        TClosedCall{"Close", [](MCIDevice& d) { return d.Close(); }},
        TClosedCall{"Play", [](MCIDevice& d) { return d.Play(0, 1000); }},
        TClosedCall{"Stop", [](MCIDevice& d) { return d.Stop(); }},
        TClosedCall{"Pause", [](MCIDevice& d) { return d.Pause(); }},
        TClosedCall{"Seek", [](MCIDevice& d) { return d.Seek(0); }},
        TClosedCall{"SetAudio", [](MCIDevice& d) { return d.Set(Mci::kSetAudio | Mci::kSetOff); }},
        TClosedCall{"SetDoor", [](MCIDevice& d) { return d.Set(Mci::kSetDoorOpen); }},
        TClosedCall{"StatusReady",
                    [](MCIDevice& d) { return d.Status(Mci::kStatusItem, Mci::kStatusReady); }},
        TClosedCall{"StatusPosition",
                    [](MCIDevice& d) { return d.Status(Mci::kStatusItem, Mci::kStatusPosition); }},
        TClosedCall{"StatusMode",
                    [](MCIDevice& d) { return d.Status(Mci::kStatusItem, Mci::kStatusMode); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MciDeviceTest, OpeningTwiceReturnsOneAndKeepsTheDeviceId) {
    Open();
    const quint32 id = device->DeviceId();
    EXPECT_NE(id, 0u);
    EXPECT_EQ(device->Open(), Mci::kAlreadyOpen);
    EXPECT_EQ(device->DeviceId(), id);
    EXPECT_EQ(drive->openCalls, 1);
    EXPECT_EQ(device->Close(), 0u);
    EXPECT_EQ(device->DeviceId(), 0u);
    Open();
    EXPECT_NE(device->DeviceId(), 0u);
}

TEST_F(MciDeviceTest, OpenNeedsADeviceTypeAndTheCdAudioOne) {
    device->SetDeviceType(QString());
    EXPECT_EQ(device->Open(), Mci::kNoDeviceType);
    EXPECT_EQ(drive->openCalls, 0);

    EXPECT_EQ(device->Open(QStringLiteral("waveaudio")), quint32(TCDError::NoDevice));
    EXPECT_EQ(device->LastError(), quint32(TCDError::NoDevice));
    EXPECT_FALSE(device->IsOpen());

    EXPECT_EQ(device->Open(QStringLiteral("cdaudio")), 0u)
        << "a given type replaces the stored one";
    EXPECT_EQ(device->DeviceType(), QStringLiteral("cdaudio"));
}

TEST_F(MciDeviceTest, AFailedOpenLeavesTheDeviceClosedWithTheDrivesCode) {
    drive->openFails = true;
    EXPECT_EQ(device->Open(), quint32(TCDError::NoDevice));
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusReady), Mci::kNotOpen);
}

TEST_F(MciDeviceTest, PlayMinusOneMinusTwoContinuesFromHereToTheEnd) {
    Open();
    EXPECT_EQ(device->Play(Mci::kCurrent, Mci::kEnd), 0u);
    EXPECT_EQ(drive->Requests("play"), QStringList{"play - - -"}) << "no notify window: no notify";
    QObject window;
    device->SetNotifyWindow(&window);
    EXPECT_EQ(device->Play(30000, 75000), 0u);
    EXPECT_EQ(drive->Requests("play").last(), QStringLiteral("play 30000 75000 n"));
}

TEST_F(MciDeviceTest, SeekZeroSeeksToTheStartAndMinusTwoToTheEnd) {
    Open();
    EXPECT_EQ(device->Seek(0), 0u);
    EXPECT_EQ(device->Seek(Mci::kEnd), 0u);
    EXPECT_EQ(device->Seek(45000), 0u);
    EXPECT_EQ(drive->forms, (QList<TCDSeek>{TCDSeek::Start, TCDSeek::End, TCDSeek::Position}));
    EXPECT_EQ(drive->position, 45000u);
    EXPECT_EQ(device->Seek(-7), quint32(TCDError::OutOfRange));
    EXPECT_EQ(drive->forms.size(), 3);
}

TEST_F(MciDeviceTest, SetTurnsFlagsIntoAudioAndTrayRequests) {
    Open();
    EXPECT_EQ(device->Set(Mci::kSetTimeFormat, Mci::kFormatMilliseconds), 0u);
    EXPECT_EQ(device->Set(Mci::kSetTimeFormat, 10), quint32(TCDError::Unsupported))
        << "only milliseconds";
    EXPECT_EQ(device->Set(Mci::kSetAudio | Mci::kSetOff, Mci::kAudioAll), 0u);
    EXPECT_FALSE(drive->audioOn);
    EXPECT_EQ(device->Set(Mci::kSetAudio | Mci::kSetOn, Mci::kAudioAll), 0u);
    EXPECT_TRUE(drive->audioOn);
    EXPECT_EQ(device->Set(Mci::kSetAudio | Mci::kSetOn | Mci::kSetOff),
              quint32(TCDError::Unsupported));
    EXPECT_EQ(device->Set(Mci::kSetDoorOpen), 0u);
    EXPECT_EQ(device->Set(Mci::kSetDoorClosed), 0u);
    EXPECT_EQ(drive->log.mid(1),
              (QStringList{"audio off", "audio on", "door open", "door closed"}));
}

TEST_F(MciDeviceTest, StatusAnswersEachItemAndKeepsTheCodeInLastError) {
    Open();
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusReady), 1u);
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusNumberOfTracks), 3u);
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusLength), 135000u);
    EXPECT_EQ(device->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusLength, 2), 45000u);
    EXPECT_EQ(device->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusPosition, 3), 75000u);
    EXPECT_EQ(device->LastError(), 0u);
    EXPECT_EQ(device->Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusLength, 4), 0u);
    EXPECT_EQ(device->LastError(), quint32(TCDError::InvalidTrack));
    EXPECT_EQ(device->Open(), Mci::kAlreadyOpen);
    EXPECT_EQ(device->LastError(), quint32(TCDError::InvalidTrack)) << "a refusal stores nothing";

    EXPECT_NE(device->Status(Mci::kStatusItem, Mci::kStatusMode), Mci::kModePlaying);
    device->Play(30000, Mci::kEnd);
    drive->Advance(1234);
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusMode), Mci::kModePlaying);
    EXPECT_EQ(device->Status(Mci::kStatusItem, Mci::kStatusPosition), 31234u);
    EXPECT_EQ(device->LastError(), 0u);
}

TEST_F(MciDeviceTest, CompletionsReachTheNotifySignal) {
    Open();
    QObject window;
    device->SetNotifyWindow(&window);
    QSignalSpy spy(device.get(), &MCIDevice::notify);
    device->Play(0, 1000);
    device->Play(0, 2000);
    drive->Advance(5000);
    ASSERT_TRUE(spy.wait(1000) || spy.size() == 2);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy[0][0].value<TCDCompletion>(), TCDCompletion::Successful)
        << "the hand-driven drive ends at once, the superseded range through the event loop";
    EXPECT_EQ(spy[1][0].value<TCDCompletion>(), TCDCompletion::Superseded);
}

struct TPlayFailure {
    const char* name;
    quint32 code;
    QString caption;
    QString expectedText;
    QString expectedCaption;
};

class PlayFailure : public MciDeviceTest, public ::testing::WithParamInterface<TPlayFailure> {};

TEST_P(PlayFailure, ShowsTheErrorTextOnceAndKeepsTheCode) {
    TCaptureReporter reporter;
    Open();
    device->SetCaption(GetParam().caption);
    drive->playCode = GetParam().code;
    EXPECT_EQ(device->Play(0, 1000), GetParam().code);
    EXPECT_EQ(device->LastError(), GetParam().code);
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, GetParam().expectedText);
    EXPECT_EQ(reporter.messages[0].caption, GetParam().expectedCaption);
    EXPECT_EQ(reporter.messages[0].icon, TMessageIcon::Warning);
    EXPECT_TRUE(reporter.messages[0].beep);

    drive->playCode = 0;
    EXPECT_EQ(device->Play(0, 1000), 0u);
    EXPECT_EQ(reporter.messages.size(), 1) << "success shows nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PlayFailure,
    ::testing::Values(TPlayFailure{"KnownCodeWithCaption", quint32(TCDError::NotReady),
                                   QStringLiteral("Korvo"),
                                   TCDAudioService::ErrorText(quint32(TCDError::NotReady)),
                                   QStringLiteral("Korvo")},
                      TPlayFailure{"UnknownCodeWithoutCaption", 4242, QString(),
                                   QStringLiteral("Unknown MCI Error"),
                                   QStringLiteral("MCI Error")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MciDeviceTest, DestructionClosesAnOpenDeviceOnly) {
    int closes = 0;
    drive->onClose = [&closes] { ++closes; };
    Open();
    device.reset();
    EXPECT_EQ(closes, 1);

    auto service = std::make_unique<TSeekRecordingDrive>();
    service->onClose = [&closes] { ++closes; };
    { MCIDevice closed(QStringLiteral("cdaudio"), std::move(service)); }
    EXPECT_EQ(closes, 1) << "a closed device closes nothing";
}

} // namespace
