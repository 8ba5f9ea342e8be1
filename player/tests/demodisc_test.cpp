// The demo disc the build makes: a real CUE/BIN a newcomer without a CD drive can play.

#include "capturereporter.h"
#include "discimage.h"
#include "drivetesting.h"

#include "core/mcidevice.h"
#include "platform/cdio.h"
#include "platform/imagedrive.h"

#include <QFile>
#include <QSignalSpy>

#include <cdio/cdtext.h>

#include <gtest/gtest.h>

namespace {

TEST(DemoDisc, HasFourToSixTitledTracksOfOneToTwoMinutesInAll) {
    const TCdioHandle cdio = OpenCdio(TDiscImage::DemoDisc(), DRIVER_BINCUE);
    ASSERT_TRUE(cdio) << "the build did not make " << TDiscImage::DemoDisc().toStdString();
    const TDiscToc toc = ReadToc(cdio.get());
    ASSERT_TRUE(toc.IsValid());
    EXPECT_GE(toc.TrackCount(), 4);
    EXPECT_LE(toc.TrackCount(), 6);
    EXPECT_GE(toc.DiscLengthMs(), 60000u);
    EXPECT_LE(toc.DiscLengthMs(), 120000u);

    cdtext_t* text = cdio_get_cdtext(cdio.get());
    ASSERT_NE(text, nullptr) << "no CD-TEXT in the cue sheet";
    EXPECT_FALSE(toc.Title().isEmpty());
    QSet<QString> titles;
    QSet<quint32> lengths;
    for (int t = 1; t <= toc.TrackCount(); ++t) {
        const char* performer =
            cdtext_get_const(text, CDTEXT_FIELD_PERFORMER, static_cast<track_t>(t));
        EXPECT_FALSE(toc.Track(t).title.isEmpty()) << "track " << t;
        EXPECT_NE(performer, nullptr) << "track " << t;
        titles.insert(toc.Track(t).title);
        lengths.insert(toc.TrackLengthMs(t));
        EXPECT_TRUE(toc.Track(t).audio);
    }
    EXPECT_EQ(titles.size(), toc.TrackCount()) << "every track has its own title";
    EXPECT_EQ(lengths.size(), toc.TrackCount()) << "tracks of different lengths";
}

TEST(DemoDisc, IsMusicWithoutClippingOrSilentTracks) {
    const TCdioHandle cdio = OpenCdio(TDiscImage::DemoDisc(), DRIVER_BINCUE);
    ASSERT_TRUE(cdio);
    const TDiscToc toc = ReadToc(cdio.get());
    ASSERT_TRUE(toc.IsValid());
    QFile bin(
        QString(TDiscImage::DemoDisc()).replace(QStringLiteral(".cue"), QStringLiteral(".bin")));
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    ASSERT_EQ(bin.size(), qint64(toc.LeadoutSector()) * TDiscToc::kBytesPerSector);
    const QByteArray pcm = bin.readAll();
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    for (int t = 1; t <= toc.TrackCount(); ++t) {
        const qint64 first = qint64(toc.Track(t).firstSector) * TDiscToc::kFramesPerSector * 2;
        const qint64 end = toc.TrackEndFrame(t) * 2;
        int peak = 0;
        double energy = 0;
        for (qint64 i = first; i < end; ++i) {
            peak = qMax(peak, qAbs(int(samples[i])));
            energy += double(samples[i]) * samples[i];
        }
        const double rms = std::sqrt(energy / double(end - first));
        EXPECT_LT(peak, 32000) << "track " << t << " clips";
        EXPECT_GT(rms, 1000) << "track " << t << " is nearly silent";
    }
}

TEST(DemoDisc, PlaysThroughTheDeviceTheWindowUses) {
    TCaptureReporter reporter;
    MCIDevice device(QStringLiteral("cdaudio"),
                     std::make_unique<TImageDrive>(TDiscImage::DemoDisc()));
    QObject window;
    device.SetNotifyWindow(&window);
    device.SetCaption(QStringLiteral("Korvo"));
    QSignalSpy notified(&device, &MCIDevice::notify);
    ASSERT_EQ(device.Open(QStringLiteral("cdaudio")), 0u);
    ASSERT_EQ(device.Set(Mci::kSetTimeFormat, Mci::kFormatMilliseconds), 0u);
    ASSERT_EQ(device.Status(Mci::kStatusItem, Mci::kStatusReady), 1u);
    const quint32 start = device.Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusPosition, 3);
    const quint32 length = device.Status(Mci::kStatusItem | Mci::kTrack, Mci::kStatusLength, 3);
    ASSERT_GT(length, 1000u);
    ASSERT_EQ(device.Play(start + length - 1000, start + length), 0u);
    EXPECT_EQ(device.Status(Mci::kStatusItem, Mci::kStatusMode), Mci::kModePlaying);
    ASSERT_TRUE(WaitFor([&] { return !notified.isEmpty(); }, 6000));
    EXPECT_EQ(notified[0][0].value<TCDCompletion>(), TCDCompletion::Successful);
    EXPECT_EQ(device.Status(Mci::kStatusItem, Mci::kStatusPosition), start + length);
    EXPECT_TRUE(reporter.messages.isEmpty());
}

} // namespace
