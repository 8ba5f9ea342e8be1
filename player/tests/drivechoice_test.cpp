// The drive backends without sound: tables of contents read from generated images, bad images
// and devices that must leave the drive "not ready", and the choice of backend.

#include "capturereporter.h"
#include "discimage.h"

#include "core/mcidevice.h"
#include "platform/cdaudiofactory.h"
#include "platform/imagedrive.h"
#include "platform/libcdiodrive.h"
#include "platform/sectorreader.h"

#include <QFile>

#include <cdio/memory.h>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr quint32 kFrameMs = 14; // one 1/75 s sector, rounded up

// Gives the image's data file another name and the cue sheet a FILE line naming it.
QString RenameData(const TDiscImage& image) {
    const QString data = image.FilePath(QStringLiteral("Other Name (1).bin"));
    QFile sheet(image.Cue());
    if (!QFile::rename(image.Bin(), data) || !sheet.open(QIODevice::ReadWrite))
        return QString();
    const QByteArray text =
        sheet.readAll().replace("FILE \"disc.bin\"", "FILE \"Other Name (1).bin\"");
    sheet.resize(0);
    sheet.write(text);
    return data;
}

TEST(ImageDrive, ReportsTrackStartsAndLengthsInMilliseconds) {
    const QList<double> seconds{3.0, 4.27, 1.99};
    TDiscImage image(seconds);
    TImageDrive drive(image.Cue());
    ASSERT_EQ(drive.Open(), TCDError::None);
    EXPECT_EQ(drive.Ready().value, 1u);
    ASSERT_EQ(drive.TrackCount().value, 3u);
    double start = 0;
    for (int t = 1; t <= 3; ++t) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(drive.TrackStart(t).value, start * 1000, kFrameMs);
        EXPECT_NEAR(drive.TrackLength(t).value, seconds[t - 1] * 1000, kFrameMs);
        start += seconds[t - 1];
    }
    EXPECT_NEAR(drive.DiscLength().value, start * 1000, kFrameMs);
    EXPECT_EQ(drive.TrackStart(4).error, TCDError::InvalidTrack);
    EXPECT_EQ(drive.TrackLength(0).error, TCDError::InvalidTrack);
    EXPECT_EQ(drive.Position().value, 0u);
    EXPECT_EQ(drive.Mode(), TCDMode::Stopped);
}

TEST(ImageDrive, ReadsTheImageAgainWhenItsFilesChange) {
    TDiscImage image({2, 2});
    TImageDrive drive(image.Cue());
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Ready().value, 1u);

    const QString away = image.FilePath(QStringLiteral("elsewhere.bin"));
    ASSERT_TRUE(QFile::rename(image.Bin(), away));
    EXPECT_EQ(drive.Ready().value, 0u) << "the data file went away";
    ASSERT_TRUE(QFile::rename(away, image.Bin()));
    EXPECT_EQ(drive.Ready().value, 1u) << "and came back";

    const QString base = image.Cue().chopped(4);
    ASSERT_EQ(QProcess::execute(TDiscImage::Generator(), {base, "1", "1", "1", "1"}), 0);
    EXPECT_EQ(drive.Ready().value, 1u);
    EXPECT_EQ(drive.TrackCount().value, 4u) << "another disc in the same files";
}

TEST(ImageDrive, OffersTheDiscsOwnTitlesEachAsOneLine) {
    TDiscImage image({1, 1, 1});
    ASSERT_FALSE(image.Cue().isEmpty());
    QFile sheet(image.Cue());
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly | QIODevice::Truncate));
    sheet.write("TITLE \"Night\x01"
                "Drive\"\n"
                "FILE \"disc.bin\" BINARY\n"
                "  TRACK 01 AUDIO\n    TITLE \"S\xc3\xa9"
                "ance\"\n    INDEX 01 00:00:00\n"
                "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
                "  TRACK 03 AUDIO\n    TITLE \"Coda \xe0 Vienne\"\n    INDEX 01 00:02:00\n");
    sheet.close();

    auto drive = std::make_unique<TImageDrive>(image.Cue());
    TImageDrive& service = *drive;
    ASSERT_EQ(service.Open(), TCDError::None);
    ASSERT_EQ(service.Ready().value, 1u);
    const TDiscTitles titles = service.Titles();
    EXPECT_EQ(titles.album, QStringLiteral("Night Drive")) << "no control characters";
    EXPECT_EQ(titles.tracks, QStringList({QStringLiteral("S\u00e9ance"), QString(),
                                          QStringLiteral("Coda \u00e0 Vienne")}))
        << "a sheet in UTF-8 and one in ISO-8859-1 both read right";
    EXPECT_EQ(titles.Track(0), QString());
    EXPECT_EQ(titles.Track(4), QString());

    MCIDevice device(QStringLiteral("cdaudio"), std::move(drive));
    EXPECT_TRUE(device.Titles().album.isEmpty()) << "a closed device reads no disc";
    ASSERT_EQ(device.Open(), 0u);
    EXPECT_EQ(device.Titles().Track(1), QStringLiteral("S\u00e9ance"));
}

TEST(ImageDrive, ACueSheetNamingADataFileOfAnotherNameIsReadAndWatched) {
    TDiscImage image({1, 2});
    const QString data = RenameData(image);
    ASSERT_FALSE(data.isEmpty());
    TImageDrive drive(image.Cue());
    ASSERT_EQ(drive.Open(), TCDError::None);
    ASSERT_EQ(drive.Ready().value, 1u);
    EXPECT_EQ(drive.TrackCount().value, 2u);
    EXPECT_EQ(drive.Titles().album, QStringLiteral("Korvo Demo Disc"));

    const QString away = image.FilePath(QStringLiteral("elsewhere.bin"));
    ASSERT_TRUE(QFile::rename(data, away));
    EXPECT_EQ(drive.Ready().value, 0u) << "the data file the sheet names went away";
    ASSERT_TRUE(QFile::rename(away, data));
    EXPECT_EQ(drive.Ready().value, 1u);
}

TEST(ImageDrive, CountsADataTrackAsATrack) {
    TDiscImage image({2, 2, 2}, 2);
    TImageDrive drive(image.Cue());
    ASSERT_EQ(drive.Open(), TCDError::None);
    EXPECT_EQ(drive.TrackCount().value, 3u);
    EXPECT_NEAR(drive.TrackStart(3).value, 4000, kFrameMs);
}

TEST(ImageDrive, TheSameDiscGivesTheSameTimesThroughBothBackends) {
    TDiscImage image({2.5, 3.33});
    TImageDrive virtualDrive(image.Cue());
    TLibcdioDrive realDrive(image.Cue(), DRIVER_BINCUE);
    ASSERT_EQ(virtualDrive.Open(), TCDError::None);
    ASSERT_EQ(realDrive.Open(), TCDError::None);
    ASSERT_EQ(realDrive.Ready().value, 1u);
    EXPECT_EQ(virtualDrive.DiscLength().value, realDrive.DiscLength().value);
    for (int t = 1; t <= 2; ++t) {
        EXPECT_EQ(virtualDrive.TrackStart(t).value, realDrive.TrackStart(t).value);
        EXPECT_EQ(virtualDrive.TrackLength(t).value, realDrive.TrackLength(t).value);
    }
}

QString Msf(int sectors) {
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / 4500, 2, 10, QLatin1Char('0'))
        .arg(sectors / 75 % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % 75, 2, 10, QLatin1Char('0'));
}

TEST(ImageDrive, ACdrdaoTocSheetOverTheSameDataGivesTheSameTimes) {
    TDiscImage image({3, 4, 2.5});
    TImageDrive cueDrive(image.Cue());
    ASSERT_EQ(cueDrive.Open(), TCDError::None);
    ASSERT_EQ(cueDrive.TrackCount().value, 3u);
    QByteArray sheet = "CD_DA\n";
    int start = 0;
    for (int sectors : {225, 300, 188}) {
        sheet += "TRACK AUDIO\nFILE \"disc.bin\" " + Msf(start).toLatin1() + " " +
                 Msf(sectors).toLatin1() + "\n";
        start += sectors;
    }
    QFile toc(image.FilePath(QStringLiteral("disc.toc")));
    ASSERT_TRUE(toc.open(QIODevice::WriteOnly));
    toc.write(sheet);
    toc.close();

    TImageDrive tocDrive(toc.fileName());
    ASSERT_EQ(tocDrive.Open(), TCDError::None);
    ASSERT_EQ(tocDrive.Ready().value, 1u);
    ASSERT_EQ(tocDrive.TrackCount().value, 3u);
    EXPECT_EQ(tocDrive.DiscLength().value, cueDrive.DiscLength().value);
    for (int t = 1; t <= 3; ++t) {
        EXPECT_EQ(tocDrive.TrackStart(t).value, cueDrive.TrackStart(t).value) << "track " << t;
        EXPECT_EQ(tocDrive.TrackLength(t).value, cueDrive.TrackLength(t).value) << "track " << t;
    }
}

// Each way of reading sectors gives the very bytes of the image's data file.
struct TReaderCase {
    const char* name;
    bool tocSheet;
    bool paranoia;
    bool otherDataName = false; // the cue sheet names a data file not called after the sheet
};

class SectorReading : public ::testing::TestWithParam<TReaderCase> {};

TEST_P(SectorReading, ReturnsTheBytesOfTheDataFile) {
    TDiscImage image({1, 1});
    QString path = image.Cue();
    driver_id_t driver = DRIVER_BINCUE;
    if (GetParam().tocSheet) {
        QFile toc(image.FilePath(QStringLiteral("disc.toc")));
        ASSERT_TRUE(toc.open(QIODevice::WriteOnly));
        toc.write("CD_DA\nTRACK AUDIO\nFILE \"disc.bin\" 0 00:01:00\n"
                  "TRACK AUDIO\nFILE \"disc.bin\" 00:01:00 00:01:00\n");
        path = toc.fileName();
        driver = DRIVER_CDRDAO;
    }
    QString dataFile = image.Bin();
    if (GetParam().otherDataName) {
        dataFile = RenameData(image);
        ASSERT_FALSE(dataFile.isEmpty());
    }
    const auto reader = (GetParam().paranoia ? TParanoiaSectorReader::Factory(path, driver)
                                             : TPlainSectorReader::Factory(path, driver))();
    ASSERT_NE(reader, nullptr);
    QFile bin(dataFile);
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    const QByteArray data = bin.readAll();
    ASSERT_EQ(data.size(), 150 * 2352);
    for (int lsn : {0, 70, 75, 140}) {
        QByteArray sectors(10 * 2352, '\0');
        ASSERT_TRUE(reader->Read(lsn, 10, sectors.data())) << "at " << lsn;
        EXPECT_EQ(sectors, data.mid(lsn * 2352, 10 * 2352)) << "at " << lsn;
    }
    QByteArray beyond(10 * 2352, '\0');
    EXPECT_FALSE(reader->Read(145, 10, beyond.data())) << "a read past the end fails";
}

INSTANTIATE_TEST_SUITE_P(
    Readers, SectorReading,
    ::testing::Values(TReaderCase{"CueSheet", false, false}, TReaderCase{"TocSheet", true, false},
                      TReaderCase{"CueSheetThroughParanoia", false, true},
                      TReaderCase{"CueSheetNamingAnotherFile", false, false, true},
                      TReaderCase{"CueSheetNamingAnotherFileThroughParanoia", false, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Ways an image goes bad; each leaves an open drive that is not ready and refuses to play.
struct TDamage {
    const char* name;
    std::function<QString(TDiscImage&)> damage; // returns the path to give the drive
};

class DamagedImage : public ::testing::TestWithParam<TDamage> {};

TEST_P(DamagedImage, LeavesTheDriveNotReady) {
    TDiscImage image({3, 4, 2});
    ASSERT_FALSE(image.Cue().isEmpty());
    const QString path = GetParam().damage(image);
    TImageDrive drive(path);
    ASSERT_EQ(drive.Open(), TCDError::None) << "the virtual drive itself is always there";
    EXPECT_EQ(drive.Ready().value, 0u);
    EXPECT_EQ(drive.Mode(), TCDMode::NotReady);
    EXPECT_EQ(drive.TrackCount().error, TCDError::NotReady);
    EXPECT_EQ(drive.Play(0, std::nullopt, true), TCDError::NotReady);
    EXPECT_EQ(drive.Position().error, TCDError::NotReady);
}

QString Write(TDiscImage& image, const QString& name, const QByteArray& text) {
    QFile file(image.FilePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return file.fileName();
}

INSTANTIATE_TEST_SUITE_P(
    Images, DamagedImage,
    ::testing::Values(
        TDamage{"MissingBin",
                [](TDiscImage& image) {
                    QFile::remove(image.Bin());
                    return image.Cue();
                }},
        TDamage{"BinShorterThanItsLastTrackStart",
                [](TDiscImage& image) {
                    image.TruncateBin(2352 * 75 * 5);
                    return image.Cue();
                }},
        TDamage{"EmptyBin",
                [](TDiscImage& image) {
                    image.TruncateBin(0);
                    return image.Cue();
                }},
        TDamage{"GarbageCueSheet",
                [](TDiscImage& image) {
                    QByteArray junk;
                    for (int i = 0; i < 4096; ++i)
                        junk.append(char((i * 7919) % 251));
                    return Write(image, QStringLiteral("disc.cue"), junk);
                }},
        TDamage{"CueSheetWithoutTracks",
                [](TDiscImage& image) {
                    return Write(image, QStringLiteral("disc.cue"), "FILE \"disc.bin\" BINARY\n");
                }},
        TDamage{"TocSheetOverAShortDataFile",
                [](TDiscImage& image) {
                    image.TruncateBin(2352 * 75 * 5);
                    return Write(image, QStringLiteral("disc.toc"),
                                 "CD_DA\nTRACK AUDIO\nFILE \"disc.bin\" 0 00:03:00\n"
                                 "TRACK AUDIO\nFILE \"disc.bin\" 00:03:00 00:06:00\n");
                }},
        TDamage{"TocSheetWithoutItsDataFile",
                [](TDiscImage& image) {
                    QFile::remove(image.Bin());
                    return Write(image, QStringLiteral("disc.toc"),
                                 "CD_DA\nTRACK AUDIO\nFILE \"disc.bin\" 0 00:03:00\n");
                }},
        TDamage{"CueSheetNamingAWaveFile", // libcdio reads raw data only; a header is not sound
                [](TDiscImage& image) {
                    QFile::rename(image.Bin(), image.FilePath(QStringLiteral("disc.wav")));
                    return Write(
                        image, QStringLiteral("disc.cue"),
                        "FILE \"disc.wav\" WAVE\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
                }},
        TDamage{"MissingCueSheet",
                [](TDiscImage& image) { return image.FilePath(QStringLiteral("nothing.cue")); }},
        TDamage{"NotAnImage",
                [](TDiscImage& image) {
                    return Write(image, QStringLiteral("notes.txt"), "TRACK 01 AUDIO\n");
                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LibcdioDrive, AnUnreadableDeviceOpensButIsNotReady) {
    TLibcdioDrive drive(QStringLiteral("/dev/null"));
    ASSERT_EQ(drive.Open(), TCDError::None);
    EXPECT_EQ(drive.Ready().value, 0u);
    EXPECT_EQ(drive.Mode(), TCDMode::NotReady);
    EXPECT_EQ(drive.Play(std::nullopt, std::nullopt, true), TCDError::NotReady);
    EXPECT_EQ(drive.Stop(), TCDError::NotReady);
}

TEST(LibcdioDrive, AMissingDeviceDoesNotOpen) {
    TLibcdioDrive drive(QStringLiteral("/dev/no-such-cd-drive"));
    EXPECT_EQ(drive.Open(), TCDError::NoDevice);
}

TEST(ImageDrive, WithNoSoundOutputPlayFailsAndTheDiscStaysReady) {
    // This process has not touched the sound system yet; point it at a server that is not there.
    qputenv("PULSE_SERVER", "unix:/nonexistent/korvo-test-native");
    TCaptureReporter reporter;
    TDiscImage image({2, 2});
    MCIDevice device(QStringLiteral("cdaudio"), std::make_unique<TImageDrive>(image.Cue()));
    device.SetCaption(QStringLiteral("Korvo"));
    ASSERT_EQ(device.Open(), 0u);
    EXPECT_EQ(device.Play(0, 1000), quint32(TCDError::NoSound));
    ASSERT_EQ(reporter.messages.size(), 1);
    EXPECT_EQ(reporter.messages[0].text, TCDAudioService::ErrorText(quint32(TCDError::NoSound)));
    EXPECT_NE(device.Status(Mci::kStatusItem, Mci::kStatusMode), Mci::kModePlaying);
    EXPECT_EQ(device.Status(Mci::kStatusItem, Mci::kStatusReady), 1u);
    EXPECT_EQ(device.Status(Mci::kStatusItem, Mci::kStatusPosition), 0u);
}

class DriveChoice : public ::testing::Test {
protected:
    ~DriveChoice() override { qunsetenv("KORVO_CDROM"); }
};

TEST_F(DriveChoice, KorvoCdromNamesAnImageOrADevice) {
    TDiscImage image({2});
    qputenv("KORVO_CDROM", image.Cue().toLocal8Bit());
    auto service = CreateCDAudioService(QStringLiteral("/nowhere/demo.cue"));
    auto* imageDrive = dynamic_cast<TImageDrive*>(service.get());
    ASSERT_NE(imageDrive, nullptr);
    EXPECT_EQ(imageDrive->ImagePath(), image.Cue());

    qputenv("KORVO_CDROM", "/dev/null");
    service = CreateCDAudioService(QStringLiteral("/nowhere/demo.cue"));
    auto* device = dynamic_cast<TLibcdioDrive*>(service.get());
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(device->Device(), QStringLiteral("/dev/null"));
}

TEST_F(DriveChoice, WithoutADriveTheDemoDiscIsInTheVirtualDrive) {
    qunsetenv("KORVO_CDROM");
    driver_id_t driver = DRIVER_DEVICE;
    char* drive = cdio_get_default_device_driver(&driver);
    const bool haveDrive = drive && QFile::exists(QFile::decodeName(drive));
    cdio_free(drive);
    if (haveDrive)
        GTEST_SKIP() << "this machine has a CD drive, which is chosen before the demo disc";
    auto service = CreateCDAudioService(TDiscImage::DemoDisc());
    auto* imageDrive = dynamic_cast<TImageDrive*>(service.get());
    ASSERT_NE(imageDrive, nullptr);
    EXPECT_EQ(imageDrive->ImagePath(), TDiscImage::DemoDisc());
    ASSERT_EQ(imageDrive->Open(), TCDError::None);
    EXPECT_EQ(imageDrive->Ready().value, 1u) << "the build made the demo disc";
}

} // namespace
