// Sun/NeXT audio files: a header of six 32-bit numbers (magic, header size, data size, encoding,
// rate, channels) in either byte order, then the data up to the end of the file. Encodings 1
// (mu-law), 2 (signed 8-bit), 3 (16-bit), 4 (24-bit), 5 (32-bit, held as float), 6 (float),
// 7 (double, held as float) and 27 (A-law) are understood; others load as raw bytes. 8-bit
// samples are written as encoding 2, 16-bit as 3, 24-bit as 4 and float as 6.

#include "core/byteorder.h"
#include "core/fileio.h"
#include "core/g711.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

using namespace wlpro;

namespace {

constexpr quint32 kHeaderSize = 24;

void Warn(const QString& text) {
    ReportMessage(CMessage{text, QString(), CMessageIcon::Warning});
}

void SwapWords(quint8* p, quint64 words) {
    for (quint64 i = 0; i < words; ++i, p += 2)
        std::swap(p[0], p[1]);
}

// Reverses the bytes of each `size`-byte sample: big-endian to little-endian and back.
void SwapSamples(quint8* p, quint64 bytes, quint32 size) {
    for (quint64 i = 0; i + size <= bytes; i += size)
        std::reverse(p + i, p + i + size);
}

// The encodings that are converted while reading: each sample's bytes in the file and what becomes
// of them.
struct CWideEncoding {
    quint32 encoding;
    quint32 inBytes;
    SampleDepth depth;
};
const CWideEncoding kWideEncodings[] = {{4, 3, SampleDepth::Int24},
                                        {5, 4, SampleDepth::Float32},
                                        {6, 4, SampleDepth::Float32},
                                        {7, 8, SampleDepth::Float32},
                                        {27, 1, SampleDepth::Int16}};

// One sample of `encoding`, its bytes in little-endian order, to the editor's form at `out`.
void ConvertSample(quint32 encoding, const quint8* in, quint8* out) {
    switch (encoding) {
    case 4:
        std::memcpy(out, in, 3);
        break;
    case 5: {
        const float x = float(qint32(ReadLE32(in)) / 2147483648.0);
        std::memcpy(out, &x, 4);
        break;
    }
    case 6:
        std::memcpy(out, in, 4);
        break;
    case 7: {
        double x;
        std::memcpy(&x, in, 8);
        const float narrow = float(x);
        std::memcpy(out, &narrow, 4);
        break;
    }
    case 27:
        WriteLE16(out, quint16(ALawToLinear(in[0])));
        break;
    }
}

} // namespace

int CSampleBuffer::ReadSunAudio(const QString& path) {
    if (Busy())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    quint8 head[kHeaderSize];
    if (!ReadExactly(file, head, 4)) {
        Warn(QStringLiteral("Don't understand .au magic word!"));
        return 0;
    }
    bool bigEndian = true;
    if (std::memcmp(head, ".snd", 4) == 0 || std::memcmp(head, ".sd\0", 4) == 0)
        bigEndian = true;
    else if (std::memcmp(head, "dns.", 4) == 0 || std::memcmp(head, "\0ds.", 4) == 0)
        bigEndian = false;
    else {
        Warn(QStringLiteral("Don't understand .au magic word!"));
        return 0;
    }
    const qint64 fileSize = file.size();
    if (!ReadExactly(file, head + 4, kHeaderSize - 4)) {
        Warn(QStringLiteral("The Sun/NeXT header runs past the end of the file."));
        return 0;
    }
    auto field = [&](int index) {
        return bigEndian ? ReadBE32(head + 4 * index) : ReadLE32(head + 4 * index);
    };
    const quint32 headerSize = field(1);
    const quint32 encoding = field(3);
    const quint32 rate = field(4);
    const quint32 channels = field(5);
    if (headerSize < kHeaderSize) {
        Warn(QStringLiteral("Sun/NeXT header size too small."));
        return 0;
    }
    if (headerSize > fileSize) {
        Warn(QStringLiteral("The Sun/NeXT header runs past the end of the file."));
        return 0;
    }
    file.close();

    switch (encoding) {
    case 1:
        SetFormat(rate, channels != 1, false);
        return ReadRaw(path, headerSize, 0) && DecodeULaw() ? 1 : 0;
    case 2:
        SetFormat(rate, channels != 1, false);
        if (!ReadRaw(path, headerSize, 0))
            return 0;
        ChangeSign(-1, -1);
        return 1;
    case 3:
        SetFormat(rate, channels != 1, true);
        if (!ReadRaw(path, headerSize, 0))
            return 0;
        if (bigEndian)
            SwapWords(m_data, m_byteLength / 2);
        return 1;
    default:
        break;
    }
    const CWideEncoding* wide =
        std::find_if(std::begin(kWideEncodings), std::end(kWideEncodings),
                     [&](const CWideEncoding& e) { return e.encoding == encoding; });
    if (wide == std::end(kWideEncodings))
        return ReadRaw(path, headerSize, 0);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    // Mono or stereo as the other encodings: the channels are taken as they come.
    const bool stereo = channels != 1;
    const quint32 outBytes = DepthBytes(wide->depth);
    const quint32 frameIn = wide->inBytes * (stereo ? 2 : 1);
    const quint64 frames = quint64(fileSize - headerSize) / frameIn;
    SetFormat(rate, stereo, wide->depth);
    if (!AllocateData(frames * frameIn / wide->inBytes * outBytes))
        return 0;
    if (!file.seek(headerSize)) {
        FreeData();
        return 0;
    }
    constexpr quint64 kPieceFrames = 1 << 16;
    std::vector<quint8> piece(std::size_t(std::min(kPieceFrames, frames) * frameIn));
    quint8* out = m_data;
    for (quint64 done = 0; done < frames;) {
        const quint64 n = std::min(kPieceFrames, frames - done);
        if (!ReadExactly(file, piece.data(), qint64(n * frameIn))) {
            FreeData();
            return 0;
        }
        if (bigEndian)
            SwapSamples(piece.data(), n * frameIn, wide->inBytes);
        for (quint64 i = 0; i < n * frameIn; i += wide->inBytes, out += outBytes)
            ConvertSample(encoding, piece.data() + i, out);
        done += n;
    }
    SetByteLength(quint32(frames * frameIn / wide->inBytes * outBytes));
    m_fileOrigin.integerAsFloat = encoding == 5;
    return 1;
}

int CSampleBuffer::WriteSunAudio(const QString& path) {
    const SampleDepth depth = GetDepth();
    const quint32 encoding = depth == SampleDepth::Int8    ? 2
                             : depth == SampleDepth::Int16 ? 3
                             : depth == SampleDepth::Int24 ? 4
                                                           : 6;
    quint8 head[kHeaderSize];
    std::memcpy(head, ".snd", 4);
    WriteBE32(head + 4, kHeaderSize);
    WriteBE32(head + 8, m_byteLength);
    WriteBE32(head + 12, encoding);
    WriteBE32(head + 16, m_format.samplesPerSec);
    WriteBE32(head + 20, GetChannels());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !WriteAll(file, head, kHeaderSize))
        return 0;
    // The file's form is made in a scratch piece, so the sample in memory never changes.
    // Whole frames in each piece, so no sample is split between two.
    const quint64 kPiece = (quint64(1) << 20) / BytesPerFrame() * BytesPerFrame();
    std::vector<quint8> piece(std::size_t(std::min<quint64>(kPiece, m_byteLength)));
    for (quint64 at = 0; at < m_byteLength;) {
        const quint64 n = std::min<quint64>(kPiece, m_byteLength - at);
        std::memcpy(piece.data(), m_data + at, n);
        if (depth == SampleDepth::Int8)
            for (quint64 i = 0; i < n; ++i)
                piece[i] ^= 0x80;
        else
            SwapSamples(piece.data(), n, BytesPerSample());
        if (!WriteAll(file, piece.data(), qint64(n)))
            return 0;
        at += n;
    }
    return file.commit() ? 1 : 0;
}
