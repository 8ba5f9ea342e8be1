// Today's audio formats through libsndfile: FLAC, AIFF, Ogg Vorbis, Opus, CAF, Wave64 and RF64.
// Reading lets libsndfile find the format from the file's contents and brings whatever the file
// holds to the nearest layout of the editor; writing takes the format from the file kind and goes
// into a QSaveFile's temporary file, so a failed save leaves the old file as it was.

#include "core/byteorder.h"
#include "core/fileio.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace wlpro;

namespace {

void Warn(const QString& text) {
    ReportMessage(CMessage{text, QString(), CMessageIcon::Warning});
}

struct CSoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using CSoundFile = std::unique_ptr<SNDFILE, CSoundFileCloser>;

// The tags that are the information texts.
struct CTagText {
    int tag;
    InfoText info;
};
const CTagText kTags[] = {{SF_STR_TITLE, InfoName},        {SF_STR_ARTIST, InfoArtist},
                          {SF_STR_COMMENT, InfoComments},  {SF_STR_COPYRIGHT, InfoCopyright},
                          {SF_STR_DATE, InfoCreationDate}, {SF_STR_SOFTWARE, InfoSoftware}};

// Frames per call to libsndfile: enough that the cost of a call vanishes, few enough to stay in
// the cache.
constexpr sf_count_t kPieceFrames = 4096;

// The rates an Opus stream holds; a sample at any other rate is written at kOpusRate.
bool IsOpusRate(quint32 rate) {
    return rate == 8000 || rate == 12000 || rate == 16000 || rate == 24000 || rate == 48000;
}
constexpr quint32 kOpusRate = 48000;

// The libsndfile format of a kind at a depth, or the nearest it has: FLAC holds no float and
// takes it at 24 bits.
int FormatOf(FileKind kind, SampleDepth depth) {
    const bool unsigned8 = kind == FileKind::Wave64 || kind == FileKind::Rf64;
    const int pcm = depth == SampleDepth::Int8 ? (unsigned8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_S8)
                    : depth == SampleDepth::Int16 ? SF_FORMAT_PCM_16
                    : depth == SampleDepth::Int24 ? SF_FORMAT_PCM_24
                                                  : SF_FORMAT_FLOAT;
    switch (kind) {
    case FileKind::Flac:
        return SF_FORMAT_FLAC | (pcm == SF_FORMAT_FLOAT ? SF_FORMAT_PCM_24 : pcm);
    case FileKind::Aiff:
        return SF_FORMAT_AIFF | pcm;
    case FileKind::OggVorbis:
        return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case FileKind::Opus:
        return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case FileKind::Caf:
        return SF_FORMAT_CAF | pcm;
    case FileKind::Wave64:
        return SF_FORMAT_W64 | pcm;
    case FileKind::Rf64:
        return SF_FORMAT_RF64 | pcm;
    default:
        return 0;
    }
}

// The depth that keeps what a subtype holds. 32-bit integers have no integer layout and are held
// as float; codes of 16 bits or less (G.711, ADPCM, lossy streams) become 16-bit.
SampleDepth DepthOf(int subtype) {
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return SampleDepth::Int8;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_DWVW_24:
    case SF_FORMAT_ALAC_20:
    case SF_FORMAT_ALAC_24:
        return SampleDepth::Int24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return SampleDepth::Float32;
    default:
        return SampleDepth::Int16;
    }
}

bool IsIntegerAsFloat(int subtype) {
    return subtype == SF_FORMAT_PCM_32 || subtype == SF_FORMAT_ALAC_32;
}

// Where a channel goes when more than two are mixed down to stereo.
enum class Side { Left, Right, Centre, Dropped };

Side SideOf(int position) {
    switch (position) {
    case SF_CHANNEL_MAP_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT:
    case SF_CHANNEL_MAP_REAR_LEFT:
    case SF_CHANNEL_MAP_FRONT_LEFT_OF_CENTER:
    case SF_CHANNEL_MAP_SIDE_LEFT:
    case SF_CHANNEL_MAP_TOP_FRONT_LEFT:
    case SF_CHANNEL_MAP_TOP_REAR_LEFT:
        return Side::Left;
    case SF_CHANNEL_MAP_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_REAR_RIGHT:
    case SF_CHANNEL_MAP_FRONT_RIGHT_OF_CENTER:
    case SF_CHANNEL_MAP_SIDE_RIGHT:
    case SF_CHANNEL_MAP_TOP_FRONT_RIGHT:
    case SF_CHANNEL_MAP_TOP_REAR_RIGHT:
        return Side::Right;
    case SF_CHANNEL_MAP_LFE:
        return Side::Dropped;
    default:
        return Side::Centre;
    }
}

// The channel positions of a file: its own map where it has one; otherwise the usual order for
// its number of channels (that of FLAC and of wave files, or the Vorbis order in Ogg streams).
// Beyond eight channels, those without a position count as centre.
std::vector<int> Positions(SNDFILE* file, const SF_INFO& info) {
    std::vector<int> positions(std::size_t(info.channels), SF_CHANNEL_MAP_CENTER);
    if (sf_command(file, SFC_GET_CHANNEL_MAP_INFO, positions.data(),
                   int(positions.size() * sizeof(int))) == SF_TRUE ||
        info.channels < 3 || info.channels > 8)
        return positions;
    using P = std::vector<int>;
    const int L = SF_CHANNEL_MAP_FRONT_LEFT, R = SF_CHANNEL_MAP_FRONT_RIGHT,
              C = SF_CHANNEL_MAP_FRONT_CENTER, BL = SF_CHANNEL_MAP_REAR_LEFT,
              BR = SF_CHANNEL_MAP_REAR_RIGHT, SL = SF_CHANNEL_MAP_SIDE_LEFT,
              SR = SF_CHANNEL_MAP_SIDE_RIGHT, BC = SF_CHANNEL_MAP_REAR_CENTER,
              LFE = SF_CHANNEL_MAP_LFE;
    static const P kUsual[] = {{L, R, C},
                               {L, R, BL, BR},
                               {L, R, C, BL, BR},
                               {L, R, C, LFE, BL, BR},
                               {L, R, C, LFE, BC, SL, SR},
                               {L, R, C, LFE, BL, BR, SL, SR}};
    static const P kVorbis[] = {{L, C, R},
                                {L, R, BL, BR},
                                {L, C, R, BL, BR},
                                {L, C, R, BL, BR, LFE},
                                {L, C, R, SL, SR, BC, LFE},
                                {L, C, R, SL, SR, BL, BR, LFE}};
    const bool ogg = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG;
    return (ogg ? kVorbis : kUsual)[info.channels - 3];
}

// Stereo out of any number of channels: each side is the weighted mean of its own channels
// (weight 2) and the centre ones (weight 1). Mono and stereo sources pass through.
struct CDownMix {
    int channels = 1;
    std::vector<qint64> left;
    std::vector<qint64> right;
    qint64 leftTotal = 0;
    qint64 rightTotal = 0;

    CDownMix(SNDFILE* file, const SF_INFO& info) : channels(info.channels) {
        if (channels <= 2)
            return;
        for (int position : Positions(file, info)) {
            const Side side = SideOf(position);
            const qint64 centre = side == Side::Centre ? 1 : 0;
            left.push_back(side == Side::Left ? 2 : centre);
            right.push_back(side == Side::Right ? 2 : centre);
        }
        leftTotal = EvenIfSilent(left);
        rightTotal = EvenIfSilent(right);
    }

private:
    // A side no channel feeds (all of them low-frequency, say) takes every channel alike.
    static qint64 EvenIfSilent(std::vector<qint64>& weights) {
        qint64 total = 0;
        for (qint64 w : weights)
            total += w;
        if (total == 0) {
            std::fill(weights.begin(), weights.end(), 1);
            total = qint64(weights.size());
        }
        return total;
    }
};

// Rounds a 32-bit sample to `Bits` (8, 16 or 24) in the editor's form: 8-bit unsigned, the
// others signed little-endian.
template <int Bits> void Narrow(qint64 value, quint8* out) {
    constexpr int kShift = 32 - Bits;
    constexpr qint64 kMax = (qint64(1) << (Bits - 1)) - 1;
    const qint64 v =
        std::clamp<qint64>((value + (qint64(1) << (kShift - 1))) >> kShift, -kMax - 1, kMax);
    if constexpr (Bits == 8)
        out[0] = quint8(v + 128);
    else if constexpr (Bits == 16)
        qToLittleEndian<qint16>(qint16(v), out);
    else
        WriteLE24(out, quint32(v));
}

template <int Bits>
void StoreFrames(const int* in, sf_count_t frames, const CDownMix& mix, quint8* out) {
    constexpr int kBytes = Bits / 8;
    if (mix.channels <= 2) {
        for (sf_count_t i = 0; i < frames * mix.channels; ++i)
            Narrow<Bits>(in[i], out + i * kBytes);
        return;
    }
    for (sf_count_t f = 0; f < frames; ++f, in += mix.channels, out += 2 * kBytes) {
        qint64 l = 0;
        qint64 r = 0;
        for (int c = 0; c < mix.channels; ++c) {
            l += mix.left[std::size_t(c)] * in[c];
            r += mix.right[std::size_t(c)] * in[c];
        }
        Narrow<Bits>(l / mix.leftTotal, out);
        Narrow<Bits>(r / mix.rightTotal, out + kBytes);
    }
}

// Float samples as they are, values beyond full scale kept; more channels mixed as the integers.
void StoreFloatFrames(const float* in, sf_count_t frames, const CDownMix& mix, quint8* out) {
    if (mix.channels <= 2) {
        std::memcpy(out, in, std::size_t(frames * mix.channels) * sizeof(float));
        return;
    }
    for (sf_count_t f = 0; f < frames; ++f, in += mix.channels, out += 8) {
        double l = 0;
        double r = 0;
        for (int c = 0; c < mix.channels; ++c) {
            l += double(mix.left[std::size_t(c)]) * in[c];
            r += double(mix.right[std::size_t(c)]) * in[c];
        }
        const float sides[2] = {float(l / double(mix.leftTotal)),
                                float(r / double(mix.rightTotal))};
        std::memcpy(out, sides, 8);
    }
}

// Writes the frames of `data` in `layout`. 8- and 16-bit samples go as 16-bit words, the form
// libsndfile turns into any format (8-bit ones widened exactly); 24-bit ones as 32-bit integers;
// float ones as float, or, where the file holds integers, scaled by 2^23, rounded and clipped to
// 24 bits (libsndfile's own scale is 2^23 - 1, which would not give back what a reader divides).
bool WriteFrames(SNDFILE* file, const quint8* data, quint64 frames, SampleLayout layout,
                 bool floatFile) {
    const quint32 channels = LayoutChannels(layout);
    const SampleDepth depth = LayoutDepth(layout);
    const bool wide = LayoutIs16Bit(layout);
    std::vector<short> words;
    std::vector<int> ints;
    if (LayoutIsClassic(layout))
        words.resize(std::size_t(kPieceFrames) * channels);
    else
        ints.resize(std::size_t(kPieceFrames) * channels);
    for (quint64 done = 0; done < frames;) {
        const quint64 n = std::min<quint64>(quint64(kPieceFrames), frames - done);
        const quint64 samples = n * channels;
        sf_count_t put = 0;
        if (LayoutIsClassic(layout)) {
            for (quint64 i = 0; i < samples; ++i, data += wide ? 2 : 1)
                words[i] = wide ? qFromLittleEndian<qint16>(data) : short((data[0] - 128) * 256);
            put = sf_writef_short(file, words.data(), sf_count_t(n));
        } else if (depth == SampleDepth::Float32 && floatFile) {
            put = sf_writef_float(file, reinterpret_cast<const float*>(data), sf_count_t(n));
            data += samples * 4;
        } else if (depth == SampleDepth::Float32) {
            for (quint64 i = 0; i < samples; ++i, data += 4) {
                float x;
                std::memcpy(&x, data, 4);
                const double v = x == x ? std::round(double(x) * 8388608.0) : 0.0;
                ints[i] = int(std::clamp(v, -8388608.0, 8388607.0)) * 256;
            }
            put = sf_writef_int(file, ints.data(), sf_count_t(n));
        } else {
            for (quint64 i = 0; i < samples; ++i, data += 3)
                ints[i] = int(ReadLE24(data) << 8);
            put = sf_writef_int(file, ints.data(), sf_count_t(n));
        }
        if (put != sf_count_t(n))
            return false;
        done += n;
    }
    return true;
}

// libsndfile's AIFF writer counts the pad byte after an odd number of 8-bit mono samples as one
// more frame, in the "COMM" chunk and in the "SSND" size; this gives the file its true length.
bool RepairOddAiff(int fd, quint32 frames) {
    quint8 head[8];
    quint8 field[4];
    for (off_t pos = 12; pread(fd, head, 8, pos) == 8;) {
        const quint32 size = ReadBE32(head + 4);
        if (std::memcmp(head, "COMM", 4) == 0) {
            WriteBE32(field, frames);
            if (pwrite(fd, field, 4, pos + 10) != 4)
                return false;
        } else if (std::memcmp(head, "SSND", 4) == 0) {
            WriteBE32(field, frames + 8);
            if (pwrite(fd, field, 4, pos + 4) != 4)
                return false;
        }
        pos += 8 + off_t(size) + (size & 1);
    }
    return true;
}

// Whether the file behind `descriptor` (open for writing) opens as a sound of that many channels
// at that rate: a save reports success only for a file that reads back.
bool ReadsBack(int descriptor, const SF_INFO& written) {
    const QByteArray again = "/proc/self/fd/" + QByteArray::number(descriptor);
    const int reader = open(again.constData(), O_RDONLY | O_CLOEXEC);
    if (reader < 0)
        return false;
    SF_INFO info{};
    CSoundFile sound(sf_open_fd(reader, SFM_READ, &info, SF_TRUE));
    return sound && info.channels == written.channels && info.samplerate == written.samplerate;
}

} // namespace

int CSampleBuffer::ReadSoundFile(const QString& path) {
    if (Busy())
        return 0;
    SF_INFO info{};
    CSoundFile sound(sf_open(QFile::encodeName(path).constData(), SFM_READ, &info));
    if (!sound) {
        Warn(QStringLiteral("Cannot read the sound file: %1")
                 .arg(QString::fromLocal8Bit(sf_strerror(nullptr))));
        return 0;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        Warn(QStringLiteral("Cannot read the sound file: it states %1 channels at %2 Hz")
                 .arg(info.channels)
                 .arg(info.samplerate));
        return 0;
    }
    // Samples beyond full scale in float data stick at the limit instead of wrapping round.
    sf_command(sound.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    const SampleDepth depth = DepthOf(subtype);
    const SampleLayout layout = MakeLayout(info.channels > 1, depth);
    const quint64 frameBytes = LayoutBytesPerFrame(layout);
    const quint64 maxFrames = std::numeric_limits<quint32>::max() / frameBytes;

    // The stated length is only a hint (a damaged header may state anything): the block starts at
    // that length, within what a file of this size can plausibly decode to, and grows as needed.
    // SF_COUNT_MAX stands for a length the file does not state (a FLAC stream may leave it open).
    const quint64 stated =
        info.frames > 0 && info.frames != SF_COUNT_MAX ? quint64(info.frames) : 0;
    const quint64 plausible = (quint64(QFileInfo(path).size()) * 32 + (1 << 16)) / frameBytes;
    quint64 capacity = std::min({stated, plausible, maxFrames});
    if (!AllocateData(capacity * frameBytes))
        return 0;

    const CDownMix mix(sound.get(), info);
    std::vector<int> piece;
    std::vector<float> floats;
    if (depth == SampleDepth::Float32)
        floats.resize(std::size_t(kPieceFrames) * std::size_t(info.channels));
    else
        piece.resize(std::size_t(kPieceFrames) * std::size_t(info.channels));
    quint64 frames = 0;
    for (;;) {
        const sf_count_t n = depth == SampleDepth::Float32
                                 ? sf_readf_float(sound.get(), floats.data(), kPieceFrames)
                                 : sf_readf_int(sound.get(), piece.data(), kPieceFrames);
        if (n <= 0)
            break;
        if (frames + quint64(n) > capacity) {
            if (frames + quint64(n) > maxFrames) {
                FreeData();
                Warn(QStringLiteral("The sound is too long for the editor: more than 4 GB of "
                                    "samples."));
                return 0;
            }
            capacity = std::min(std::max(capacity * 2, frames + quint64(n)), maxFrames);
            if (!ResizeData(capacity * frameBytes)) {
                FreeData();
                Warn(QStringLiteral("Error - Out of Memory!"));
                return 0;
            }
        }
        quint8* out = m_data + frames * frameBytes;
        switch (depth) {
        case SampleDepth::Int8:
            StoreFrames<8>(piece.data(), n, mix, out);
            break;
        case SampleDepth::Int16:
            StoreFrames<16>(piece.data(), n, mix, out);
            break;
        case SampleDepth::Int24:
            StoreFrames<24>(piece.data(), n, mix, out);
            break;
        case SampleDepth::Float32:
            StoreFloatFrames(floats.data(), n, mix, out);
            break;
        }
        frames += quint64(n);
    }
    ResizeData(frames * frameBytes);

    for (const CTagText& t : kTags) {
        if (const char* text = sf_get_string(sound.get(), t.tag))
            m_info[std::size_t(t.info)] = DecodeText(QByteArray(text));
    }
    m_format.formatTag = 1;
    m_format.extraSize = 0;
    SetFormat(quint32(info.samplerate), LayoutIsStereo(layout), depth);
    m_fileOrigin.channels = quint32(info.channels);
    m_fileOrigin.integerAsFloat = IsIntegerAsFloat(subtype);
    SetByteLength(quint32(frames * frameBytes));
    if (frames < stated)
        Warn(QStringLiteral("The sound file is cut short or damaged after %1 of its %2 frames; "
                            "the sound up to there has been loaded.")
                 .arg(frames)
                 .arg(stated));
    return 1;
}

int CSampleBuffer::WriteSoundFile(const QString& path, FileKind kind) {
    SF_INFO info{};
    info.format = FormatOf(kind, GetDepth());
    info.channels = int(GetChannels());
    info.samplerate = int(m_format.samplesPerSec);
    if (info.format == 0)
        return 0;
    // An Ogg Opus stream without a single packet of sound is one that nothing reads.
    if (kind == FileKind::Opus && m_frameCount == 0) {
        Warn(QStringLiteral("An Opus file cannot hold an empty sample; nothing has been saved."));
        return 0;
    }
    const quint8* data = m_data;
    quint64 frames = m_frameCount;
    CSampleBuffer resampled;
    if (kind == FileKind::Opus && !IsOpusRate(m_format.samplesPerSec)) {
        info.samplerate = int(kOpusRate);
        if (frames > 0 &&
            (!resampled.CopyFrom(*this) || !resampled.Resample(m_format.samplesPerSec, kOpusRate)))
            return 0;
        data = resampled.GetData();
        frames = resampled.GetFrameCount();
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 0;
    // libsndfile writes into the save file's temporary through a descriptor of its own, which
    // it closes even when it fails to open; commit then renames the temporary over the file.
    const int descriptor = dup(file.handle());
    if (descriptor < 0)
        return 0;
    CSoundFile sound(sf_open_fd(descriptor, SFM_WRITE, &info, SF_TRUE));
    if (!sound) {
        Warn(QStringLiteral("Cannot save the sound file: %1")
                 .arg(QString::fromLocal8Bit(sf_strerror(nullptr))));
        return 0;
    }
    if (kind == FileKind::OggVorbis) {
        double quality = 0.6;
        sf_command(sound.get(), SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    }
    // Formats without a place for a text refuse it; the sound is saved all the same.
    for (const CTagText& t : kTags) {
        const QString& text = m_info[std::size_t(t.info)];
        if (!text.isEmpty())
            sf_set_string(sound.get(), t.tag, text.toUtf8().constData());
    }
    // libsndfile begins a FLAC stream only with the first frames written; without any, the
    // header is asked for, so that an empty sample still leaves a FLAC file.
    if (kind == FileKind::Flac && frames == 0 &&
        sf_command(sound.get(), SFC_UPDATE_HEADER_NOW, nullptr, 0) != 0)
        return 0;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    // Float written into integers clips at full scale instead of wrapping round.
    sf_command(sound.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const bool floatFile =
        subtype == SF_FORMAT_FLOAT || subtype == SF_FORMAT_VORBIS || subtype == SF_FORMAT_OPUS;
    if (!WriteFrames(sound.get(), data, frames, GetLayout(), floatFile))
        return 0;
    // Closing finishes the stream and the header; only then is the file whole.
    if (sf_close(sound.release()) != 0)
        return 0;
    if (kind == FileKind::Aiff && m_layout == SampleLayout::Mono8 && (frames & 1) &&
        !RepairOddAiff(file.handle(), quint32(frames)))
        return 0;
    if (!ReadsBack(file.handle(), info)) {
        Warn(QStringLiteral("The sound file did not read back as it was written; nothing has been "
                            "saved."));
        return 0;
    }
    return file.commit() ? 1 : 0;
}
