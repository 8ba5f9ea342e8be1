// Wave files: a RIFF "WAVE" form with a "fmt " chunk, a "data" chunk and an optional "LIST"
// "INFO" list of texts. PCM of 8, 16 and 24 bits and 32-bit float, mono or stereo, are read
// straight into the sample block, classic or extensible; other widths are converted to the nearest
// depth the editor holds (32-bit integers to float, 12 bits to 16, mu-law and A-law to 16). Files
// of more than two channels (or big-endian RIFX ones) go to libsndfile, which mixes them down.

#include "core/byteorder.h"
#include "core/fileio.h"
#include "core/g711.h"
#include "core/peaksummary.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"
#include "wlproversion.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace wlpro;

namespace {

const char* const kInfoIds[InfoTextCount] = {"IART", "ICMT", "ICOP", "ICRD", "INAM", "ISFT"};
const char kSoftware[] = "Wavelathe Pro v" WLPRO_SUITE_VERSION;

enum : quint16 { kTagPcm = 1, kTagFloat = 3, kTagALaw = 6, kTagULaw = 7, kTagExtensible = 0xFFFE };

// The fixed tail of the sub-format GUID of extensible files; the first two bytes are the tag.
const quint8 kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

void Warn(const QString& text, const QString& caption = QString()) {
    ReportMessage(CMessage{text, caption, CMessageIcon::Warning});
}

void WarnOpening(const QString& text) {
    Warn(text, QStringLiteral("Error Opening Wave"));
}

// The data size a streaming writer leaves when it cannot go back to fill in the real one.
constexpr quint32 kSizeToTheEnd = 0xFFFFFFFF;
// Bytes of plain data read at once: small enough to be in the cache still when the peak summary
// reads them.
constexpr quint64 kPieceBytes = 256 * 1024;

struct Chunk {
    qint64 body = 0;
    quint32 size = 0;
};

enum class Search { Found, Missing, Truncated };

// Walks the chunks from `from` to `end` for the first `id` (of list type `listType` if given).
// A chunk whose body would run past `end` ends the walk: as Truncated if it is the one sought.
Search FindChunk(QFile& file, qint64 from, qint64 end, const char* id, const char* listType,
                 Chunk& found) {
    qint64 pos = from;
    while (end - pos >= 8) {
        quint8 head[8];
        if (!ReadAt(file, pos, head, 8))
            return Search::Missing;
        const quint32 size = ReadLE32(head + 4);
        const qint64 body = pos + 8;
        const bool fits = size <= end - body;
        if (std::memcmp(head, id, 4) == 0) {
            quint8 type[4];
            const bool typeMatches = !listType || (size >= 4 && ReadAt(file, body, type, 4) &&
                                                   std::memcmp(type, listType, 4) == 0);
            if (typeMatches) {
                found = Chunk{body, size};
                return fits ? Search::Found : Search::Truncated;
            }
        }
        if (!fits)
            return Search::Missing;
        pos = body + qint64(size) + (size & 1);
    }
    return Search::Missing;
}

// Whether the bytes from `from` to `end` are whole chunks, so that an empty data chunk before them
// is really empty rather than a placeholder for data that runs to the end.
bool ChunksFillTheRest(QFile& file, qint64 from, qint64 end) {
    qint64 pos = from;
    while (end - pos >= 8) {
        quint8 head[8];
        if (!ReadAt(file, pos, head, 8))
            return false;
        const quint32 size = ReadLE32(head + 4);
        if (size > end - pos - 8)
            return false;
        pos += 8 + qint64(size) + (size & 1);
    }
    return pos >= end;
}

enum class Coding { Unsigned8, SignedLE, Float, ULaw, ALaw };

struct SourceFormat {
    Coding coding = Coding::SignedLE;
    quint32 containerBytes = 2;
    quint32 channels = 1;
    quint32 FrameBytes() const { return containerBytes * channels; }
    quint32 OutChannels() const { return std::min<quint32>(channels, 2); }
    // The depth that keeps what the file holds: 32-bit integers have no integer layout and become
    // float (24 bits of precision), the G.711 codes expand to 16 bits.
    SampleDepth OutDepth() const {
        switch (coding) {
        case Coding::Unsigned8:
            return SampleDepth::Int8;
        case Coding::SignedLE:
            return containerBytes == 2   ? SampleDepth::Int16
                   : containerBytes == 3 ? SampleDepth::Int24
                                         : SampleDepth::Float32;
        case Coding::Float:
            return SampleDepth::Float32;
        default:
            return SampleDepth::Int16;
        }
    }
    quint32 OutSampleBytes() const { return DepthBytes(OutDepth()); }
    // Bytes that are already the editor's own form: nothing to convert.
    bool Plain() const {
        return channels <= 2 && ((coding == Coding::Unsigned8 && containerBytes == 1) ||
                                 (coding == Coding::SignedLE && containerBytes <= 3) ||
                                 (coding == Coding::Float && containerBytes == 4));
    }
};

bool ClassifyTag(quint16 tag, quint16 bits, quint16 channels, SourceFormat& source) {
    if (channels == 0 || bits == 0)
        return false;
    source.channels = channels;
    source.containerBytes = (bits + 7u) / 8u;
    switch (tag) {
    case kTagPcm:
        if (source.containerBytes > 4)
            return false;
        source.coding = source.containerBytes == 1 ? Coding::Unsigned8 : Coding::SignedLE;
        return true;
    case kTagFloat:
        source.coding = Coding::Float;
        return bits == 32 || bits == 64;
    case kTagULaw:
    case kTagALaw:
        source.coding = tag == kTagULaw ? Coding::ULaw : Coding::ALaw;
        return bits == 8;
    default:
        return false;
    }
}

// Extensible files name their real tag in a sub-format GUID after the 18 classic bytes.
bool Classify(const quint8* body, quint32 size, SourceFormat& source) {
    const quint16 tag = ReadLE16(body);
    const quint16 channels = ReadLE16(body + 2);
    const quint16 bits = ReadLE16(body + 14);
    if (tag != kTagExtensible)
        return ClassifyTag(tag, bits, channels, source);
    if (size < 40 || std::memcmp(body + 26, kSubFormatTail, sizeof kSubFormatTail) != 0)
        return false;
    return ClassifyTag(ReadLE16(body + 24), bits, channels, source);
}

// Converts whole frames of the source to the editor's form at the source's OutDepth: the codes
// that need it are decoded, 32-bit integers and doubles become float.
void ConvertFrames(const SourceFormat& source, const quint8* in, quint64 frames, quint8* out) {
    const quint32 c = source.containerBytes;
    const quint32 outChannels = source.OutChannels();
    const quint32 skip = (source.channels - outChannels) * c;
    const SampleDepth depth = source.OutDepth();
    for (quint64 f = 0; f < frames; ++f, in += skip) {
        for (quint32 ch = 0; ch < outChannels; ++ch, in += c) {
            switch (source.coding) {
            case Coding::Unsigned8:
                *out++ = in[0];
                continue;
            case Coding::SignedLE:
                if (depth == SampleDepth::Float32) {
                    const float x = float(qint32(ReadLE32(in)) / 2147483648.0);
                    std::memcpy(out, &x, 4);
                } else {
                    // The high bytes of a container wider than the depth (12 bits in 16, ...).
                    std::memcpy(out, in + c - DepthBytes(depth), DepthBytes(depth));
                }
                break;
            case Coding::Float:
                if (c == 4) {
                    std::memcpy(out, in, 4);
                } else {
                    double x;
                    std::memcpy(&x, in, 8);
                    const float narrow = float(x);
                    std::memcpy(out, &narrow, 4);
                }
                break;
            case Coding::ULaw:
                WriteLE16(out, quint16(ULawToLinear(in[0])));
                break;
            case Coding::ALaw:
                WriteLE16(out, quint16(ALawToLinear(in[0])));
                break;
            }
            out += DepthBytes(depth);
        }
    }
}

void AppendLE32(QByteArray& bytes, quint32 value) {
    quint8 raw[4];
    WriteLE32(raw, value);
    bytes.append(reinterpret_cast<const char*>(raw), 4);
}

void AppendChunkHead(QByteArray& bytes, const char* id, quint32 size) {
    bytes.append(id, 4);
    AppendLE32(bytes, size);
}

} // namespace

int CSampleBuffer::ReadWave(const QString& path) {
    if (Busy())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Warn(QStringLiteral("Error - Couldn't open as Wave!"));
        return 0;
    }
    // Chunks are bounded by the file itself: many writers leave a wrong RIFF size behind.
    const qint64 end = file.size();
    quint8 head[12];
    // Big-endian wave files are rare enough to leave to libsndfile.
    if (ReadAt(file, 0, head, 12) && std::memcmp(head, "RIFX", 4) == 0 &&
        std::memcmp(head + 8, "WAVE", 4) == 0)
        return ReadSoundFile(path);
    if (!ReadAt(file, 0, head, 12) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        Warn(QStringLiteral("This File is NOT a wave file"));
        return 0;
    }

    Chunk list;
    if (FindChunk(file, 12, end, "LIST", "INFO", list) == Search::Found) {
        for (int i = 0; i < InfoTextCount; ++i) {
            Chunk item;
            if (FindChunk(file, list.body + 4, list.body + list.size, kInfoIds[i], nullptr, item) !=
                Search::Found)
                continue;
            QByteArray text(qsizetype(item.size), Qt::Uninitialized);
            if (!ReadAt(file, item.body, text.data(), item.size))
                continue;
            const qsizetype nul = text.indexOf('\0');
            if (nul >= 0)
                text.truncate(nul);
            m_info[std::size_t(i)] = DecodeText(text);
        }
    }

    Chunk fmt;
    const Search fmtSearch = FindChunk(file, 12, end, "fmt ", nullptr, fmt);
    if (fmtSearch == Search::Missing) {
        Warn(QStringLiteral("Cannot find Format information"));
        return 0;
    }
    if (fmt.size < 16) {
        Warn(QStringLiteral("Format information too small"));
        return 0;
    }
    quint8 body[40] = {};
    const quint32 bodySize = std::min<quint32>(fmt.size, sizeof body);
    if (fmtSearch == Search::Truncated || !ReadAt(file, fmt.body, body, bodySize)) {
        WarnOpening(QStringLiteral("Error reading format information"));
        return 0;
    }
    CWaveFormat format = m_format;
    format.formatTag = ReadLE16(body);
    format.channels = ReadLE16(body + 2);
    format.samplesPerSec = ReadLE32(body + 4);
    format.avgBytesPerSec = ReadLE32(body + 8);
    format.blockAlign = ReadLE16(body + 12);
    format.bitsPerSample = ReadLE16(body + 14);
    if (fmt.size >= 18)
        format.extraSize = ReadLE16(body + 16);

    // 8- and 16-bit PCM keep the format record as the file has it, as they always did.
    const bool classic = format.formatTag == kTagPcm &&
                         (format.bitsPerSample == 8 || format.bitsPerSample == 16) &&
                         (format.channels == 1 || format.channels == 2);
    SourceFormat source;
    if (!Classify(body, fmt.size, source)) {
        WarnOpening(QStringLiteral("Unsupported wave format (format tag %1, %2 bits, %3 channels)")
                        .arg(format.formatTag)
                        .arg(format.bitsPerSample)
                        .arg(format.channels));
        return 0;
    }
    if (source.channels > 2) {
        m_fileOrigin.channels = source.channels;
        return ReadSoundFile(path);
    }
    const bool plain = source.Plain();
    // Plain data is what the raw fallback reads the data as when the data chunk is missing.
    if (classic) {
        m_format = format;
        LayoutFromFormat();
        // Some writers leave these two wrong; a save would copy them into the new file.
        m_format.blockAlign = quint16(BytesPerFrame());
        m_format.avgBytesPerSec = quint32(quint64(m_format.samplesPerSec) * BytesPerFrame());
    } else if (plain) {
        m_format.extraSize = 0;
        SetFormat(format.samplesPerSec, source.channels == 2, source.OutDepth());
    }
    if (source.coding == Coding::SignedLE && source.OutDepth() == SampleDepth::Float32)
        m_fileOrigin.integerAsFloat = true;

    Chunk data;
    const Search dataSearch =
        FindChunk(file, fmt.body + fmt.size + (fmt.size & 1), end, "data", nullptr, data);
    if (dataSearch == Search::Missing) {
        WarnOpening(QStringLiteral("Cannot find data information"));
        return 0;
    }
    // A data chunk that runs past the end of the file holds the bytes up to the end: the file of an
    // interrupted recording, or of a writer that streams and states "to the end" by a size of
    // 0xFFFFFFFF or 0. Only a size that promised more than that is worth a warning.
    const quint64 present = quint64(end - data.body);
    const bool zeroPlaceholder =
        data.size == 0 && present > 0 && !ChunksFillTheRest(file, data.body, end);
    const bool toTheEnd = dataSearch == Search::Truncated || zeroPlaceholder;
    const bool cutShort = dataSearch == Search::Truncated && data.size != kSizeToTheEnd;
    const quint64 frameBytes = source.FrameBytes();
    quint64 length = toTheEnd ? present - present % frameBytes : data.size;
    // Odd bytes after the last frame stay only where they always did, behind 8/16-bit frames.
    if (!classic)
        length -= length % frameBytes;

    auto loaded = [&] {
        if (cutShort)
            WarnOpening(QStringLiteral("The wave file is cut short (%1 of %2 data bytes); the "
                                       "sound up to its end has been loaded.")
                            .arg(present)
                            .arg(data.size));
        return 1;
    };

    if (plain) {
        if (!AllocateData(length))
            return 0;
        // In pieces that stay in the cache, so the summary reads them from there.
        for (quint64 done = 0; done < length;) {
            const quint64 n = std::min<quint64>(kPieceBytes, length - done);
            if (!ReadAt(file, qint64(data.body + done), m_data + done, qint64(n))) {
                FreeData();
                WarnOpening(QStringLiteral("Error reading the wave data"));
                return 0;
            }
            done += n;
            if (m_loadSummary)
                m_loadSummary->Feed(m_data, m_layout, done, length);
        }
        SetByteLength(quint32(length));
        return loaded();
    }

    const quint64 frames = length / source.FrameBytes();
    const quint64 outFrameBytes = quint64(source.OutChannels()) * source.OutSampleBytes();
    if (!AllocateData(frames * outFrameBytes))
        return 0;
    const quint64 piece = std::max<quint64>(1, (1u << 20) / source.FrameBytes());
    std::vector<quint8> in(std::size_t(piece * source.FrameBytes()));
    if (!file.seek(data.body)) {
        FreeData();
        return 0;
    }
    for (quint64 done = 0; done < frames;) {
        const quint64 n = std::min(piece, frames - done);
        if (!ReadExactly(file, in.data(), qint64(n * source.FrameBytes()))) {
            FreeData();
            WarnOpening(QStringLiteral("Error reading the wave data"));
            return 0;
        }
        ConvertFrames(source, in.data(), n, m_data + done * outFrameBytes);
        done += n;
        if (m_loadSummary)
            m_loadSummary->Feed(m_data, MakeLayout(source.OutChannels() == 2, source.OutDepth()),
                                done * outFrameBytes, frames * outFrameBytes);
    }
    m_format.extraSize = 0;
    SetFormat(format.samplesPerSec, source.OutChannels() == 2, source.OutDepth());
    SetByteLength(quint32(frames * outFrameBytes));
    return loaded();
}

int CSampleBuffer::WriteWave(const QString& path) {
    m_info[InfoSoftware] = QString::fromLatin1(kSoftware);

    QByteArray list("INFO");
    for (int i = 0; i < InfoTextCount; ++i) {
        if (m_info[std::size_t(i)].isEmpty())
            continue;
        QByteArray text = m_info[std::size_t(i)].toUtf8();
        text.append('\0');
        AppendChunkHead(list, kInfoIds[i], quint32(text.size()));
        list.append(text);
        if (text.size() & 1)
            list.append('\0');
    }

    // 8/16-bit: the format record as it is, in 16 bytes. 24-bit: extensible, as the rule for PCM
    // of more than 16 bits asks. Float: tag 3 with an empty extra size and the "fact" chunk of its
    // frame count that readers of non-PCM wave files expect.
    const SampleDepth depth = GetDepth();
    const bool classic = LayoutIsClassic(m_layout);
    QByteArray fmt(16, Qt::Uninitialized);
    auto* f = reinterpret_cast<quint8*>(fmt.data());
    const quint16 tag = classic                         ? m_format.formatTag
                        : depth == SampleDepth::Float32 ? quint16(kTagFloat)
                                                        : quint16(kTagExtensible);
    WriteLE16(f, tag);
    WriteLE16(f + 2, classic ? m_format.channels : quint16(GetChannels()));
    WriteLE32(f + 4, m_format.samplesPerSec);
    WriteLE32(f + 8, classic ? m_format.avgBytesPerSec
                             : quint32(quint64(m_format.samplesPerSec) * BytesPerFrame()));
    WriteLE16(f + 12, classic ? m_format.blockAlign : quint16(BytesPerFrame()));
    WriteLE16(f + 14, classic ? m_format.bitsPerSample : quint16(DepthBits(depth)));
    QByteArray fact;
    if (tag == kTagFloat) {
        fmt.append(2, '\0');
        AppendChunkHead(fact, "fact", 4);
        AppendLE32(fact, m_frameCount);
    } else if (tag == kTagExtensible) {
        quint8 extension[24];
        WriteLE16(extension, 22);
        WriteLE16(extension + 2, quint16(DepthBits(depth)));
        // Front centre for mono, front left and right for stereo.
        WriteLE32(extension + 4, GetChannels() == 1 ? 0x4 : 0x3);
        WriteLE16(extension + 8, kTagPcm);
        std::memcpy(extension + 10, kSubFormatTail, sizeof kSubFormatTail);
        fmt.append(reinterpret_cast<const char*>(extension), sizeof extension);
    }

    const quint64 n = m_byteLength;
    const quint64 riffSize = 4 + (8 + quint64(list.size())) + (8 + quint64(fmt.size())) +
                             quint64(fact.size()) + (8 + n + (n & 1));
    if (riffSize > std::numeric_limits<quint32>::max())
        return 0;

    QByteArray head;
    AppendChunkHead(head, "RIFF", quint32(riffSize));
    head.append("WAVE", 4);
    AppendChunkHead(head, "LIST", quint32(list.size()));
    head.append(list);
    AppendChunkHead(head, "fmt ", quint32(fmt.size()));
    head.append(fmt);
    head.append(fact);
    AppendChunkHead(head, "data", quint32(n));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 0;
    const char pad = 0;
    if (!WriteAll(file, head.constData(), head.size()) || !WriteAll(file, m_data, qint64(n)) ||
        ((n & 1) && !WriteAll(file, &pad, 1)))
        return 0;
    return file.commit() ? 1 : 0;
}
