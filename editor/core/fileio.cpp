#include "core/fileio.h"

#include "core/byteorder.h"
#include "core/samplebuffer.h"

#include <QStringDecoder>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wlpro {

bool ReadAt(QFile& file, qint64 offset, void* to, qint64 size) {
    if (offset < 0 || size < 0 || offset > file.size() || size > file.size() - offset)
        return false;
    return file.seek(offset) && ReadExactly(file, to, size);
}

bool ReadExactly(QFile& file, void* to, qint64 size) {
    auto* p = static_cast<char*>(to);
    while (size > 0) {
        const qint64 got = file.read(p, size);
        if (got <= 0)
            return false;
        p += got;
        size -= got;
    }
    return true;
}

bool WriteAll(QIODevice& file, const void* from, qint64 size) {
    const auto* p = static_cast<const char*>(from);
    while (size > 0) {
        const qint64 put = file.write(p, size);
        if (put <= 0)
            return false;
        p += put;
        size -= put;
    }
    return true;
}

QString DecodeText(const QByteArray& bytes) {
    // Stateless, so a text ending inside a UTF-8 sequence counts as an error, not as pending.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool NarrowedCopy(const CSampleBuffer& from, SampleDepth depth, CSampleBuffer& into) {
    const bool stereo = from.GetChannels() == 2;
    into.SetFormat(from.GetRate(), stereo, depth);
    if (from.GetFrameCount() && !into.InsertFrames(0, from.GetFrameCount(), 0))
        return false;
    const quint64 samples = quint64(from.GetFrameCount()) * from.GetChannels();
    const quint8* in = from.GetData();
    quint8* out = into.GetData();
    const int bits = depth == SampleDepth::Int8 ? 8 : 16;
    const double scale = std::ldexp(1.0, bits - 1);
    for (quint64 i = 0; i < samples; ++i) {
        int value = 0;
        if (from.GetDepth() == SampleDepth::Int24) {
            value = qint32(ReadLE24(in + 3 * i) << 8) >> (32 - bits);
        } else {
            float x;
            std::memcpy(&x, in + 4 * i, 4);
            const double scaled = x == x ? std::round(double(x) * scale) : 0.0;
            value = int(std::clamp(scaled, -scale, scale - 1));
        }
        if (bits == 8)
            out[i] = quint8(value + 128);
        else
            WriteLE16(out + 2 * i, quint16(value));
    }
    return true;
}

} // namespace wlpro

FileKind FileKindForContent(const QByteArray& head, FileKind otherwise) {
    auto at = [&](int offset, const char* text, int size) {
        return head.size() >= offset + size &&
               std::memcmp(head.constData() + offset, text, std::size_t(size)) == 0;
    };
    // The GUID Wave64 files open with, "riff" and the rest of it.
    static const char kWave64[16] = {'r',    'i',    'f',    'f',    '\x2E', '\x91',
                                     '\xCF', '\x11', '\xA5', '\xD6', '\x28', '\xDB',
                                     '\x04', '\xC1', '\x00', '\x00'};
    if (at(8, "WAVE", 4) && (at(0, "RIFF", 4) || at(0, "RIFX", 4)))
        return FileKind::Wave;
    if (at(8, "WAVE", 4) && (at(0, "RF64", 4) || at(0, "BW64", 4)))
        return FileKind::Rf64;
    if (at(0, "FORM", 4) && (at(8, "AIFF", 4) || at(8, "AIFC", 4)))
        return FileKind::Aiff;
    if (at(0, ".snd", 4) || at(0, "dns.", 4) || at(0, ".sd\0", 4) || at(0, "\0ds.", 4))
        return FileKind::SunAudio;
    if (at(0, "Creative Voice File", 19))
        return FileKind::Voice;
    if (at(0, "fLaC", 4))
        return FileKind::Flac;
    // The first page of an Ogg stream holds the codec's first packet after a 28-byte header.
    if (at(0, "OggS", 4))
        return at(28, "OpusHead", 8) ? FileKind::Opus : FileKind::OggVorbis;
    if (at(0, "caff", 4))
        return FileKind::Caf;
    if (at(0, kWave64, 16))
        return FileKind::Wave64;
    return otherwise;
}

FileKind FileKindFor(const QString& path) {
    const FileKind byName = FileKindForPath(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return byName;
    return FileKindForContent(file.read(64), byName);
}

bool KindHoldsDepth(FileKind kind, SampleDepth depth) {
    switch (kind) {
    case FileKind::Voice:
        return depth == SampleDepth::Int8;
    case FileKind::Raw:
        return depth == SampleDepth::Int8 || depth == SampleDepth::Int16;
    case FileKind::Flac:
        return depth != SampleDepth::Float32;
    case FileKind::Wave:
    case FileKind::SunAudio:
    case FileKind::Aiff:
    case FileKind::OggVorbis:
    case FileKind::Opus:
    case FileKind::Caf:
    case FileKind::Wave64:
    case FileKind::Rf64:
        return true;
    }
    // Any other number saves as raw data.
    return KindHoldsDepth(FileKind::Raw, depth);
}
