#include "core/soxrresampler.h"

#include "core/framecodec.h"
#include "core/sampleaccess.h"

#include <QtEndian>

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace wlpro {

namespace {

// Frames handed to the converter at a time: its buffers stay in the cache, where one call with
// the whole sample would first copy all of it into the converter's queue.
constexpr quint64 kChunkFrames = 16384;

struct SoxrDeleter {
    void operator()(soxr* converter) const { soxr_delete(converter); }
};
using SoxrPtr = std::unique_ptr<soxr, SoxrDeleter>;

SoxrPtr MakeConverter(double oldRate, double newRate, unsigned channels, soxr_datatype_t type) {
    // Rounding, not soxr's own dither: dither is a separate choice of the bit-depth conversion.
    soxr_io_spec_t io = soxr_io_spec(type, type);
    io.flags |= SOXR_NO_DITHER;
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    SoxrPtr converter(soxr_create(oldRate, newRate, channels, &error, &io, &quality, &runtime));
    if (error)
        converter.reset();
    return converter;
}

// Feeds `read(first, count, buffer)` chunk by chunk and hands every converted run to
// `write(first, count, buffer)`, until `outFrames` frames came out or the converter is drained.
// libsoxr compensates its own delay, so the output starts and ends where the input does.
template <class Sample, class Read, class Write>
bool Run(soxr* converter, unsigned channels, quint64 inFrames, quint64 outFrames, Read read,
         Write write) {
    std::vector<Sample> in(kChunkFrames * channels);
    std::vector<Sample> out(kChunkFrames * channels);
    quint64 fed = 0;
    quint64 made = 0;
    quint64 inChunk = 0;
    quint64 inUsed = 0;
    while (made < outFrames) {
        if (inUsed == inChunk && fed < inFrames) {
            inChunk = std::min(kChunkFrames, inFrames - fed);
            read(fed, inChunk, in.data());
            fed += inChunk;
            inUsed = 0;
        }
        const bool ended = inUsed == inChunk;
        size_t used = 0;
        size_t done = 0;
        const quint64 room = std::min(kChunkFrames, outFrames - made);
        // No input (a null pointer) tells the converter the sample ended: it drains its queue.
        const soxr_error_t error = soxr_process(
            converter, ended ? nullptr : in.data() + inUsed * channels,
            ended ? 0 : size_t(inChunk - inUsed), &used, out.data(), size_t(room), &done);
        if (error)
            return false;
        // A converter that neither takes nor gives while it has input would never end.
        if (!ended && used == 0 && done == 0)
            return false;
        inUsed += used;
        if (done > 0)
            write(made, quint64(done), out.data());
        made += done;
        if (ended && done == 0)
            break;
    }
    return true;
}

} // namespace

bool ResampleBandLimited(SampleLayout layout, const quint8* in, quint64 inFrames, quint8* out,
                         quint64 outFrames, double oldRate, double newRate) {
    const unsigned channels = LayoutChannels(layout);
    const SampleDepth depth = LayoutDepth(layout);
    const quint32 frameBytes = LayoutBytesPerFrame(layout);
    // Whatever the converter does not give is silence.
    std::memset(out, depth == SampleDepth::Int8 ? 128 : 0, outFrames * frameBytes);

    const bool native = Q_BYTE_ORDER == Q_LITTLE_ENDIAN &&
                        (depth == SampleDepth::Int16 || depth == SampleDepth::Float32);
    auto copyIn = [&](quint64 first, quint64 count, void* buffer) {
        std::memcpy(buffer, in + first * frameBytes, count * frameBytes);
    };
    auto copyOut = [&](quint64 first, quint64 count, const void* buffer) {
        std::memcpy(out + first * frameBytes, buffer, count * frameBytes);
    };
    if (native && depth == SampleDepth::Int16) {
        // The stored words are libsoxr's own 16-bit type.
        const SoxrPtr converter = MakeConverter(oldRate, newRate, channels, SOXR_INT16_I);
        return converter &&
               Run<qint16>(converter.get(), channels, inFrames, outFrames, copyIn, copyOut);
    }
    const SoxrPtr converter = MakeConverter(oldRate, newRate, channels, SOXR_FLOAT32_I);
    if (!converter)
        return false;
    if (native)
        return Run<float>(converter.get(), channels, inFrames, outFrames, copyIn, copyOut);
    // The other depths go through floats of the samples' own scale (24-bit values are exact in
    // single precision), rounded and clipped on the way back.
    return framecodec::WithDepth(depth, [&](auto d) {
        using S = sampleaccess::Sample<decltype(d)::value>;
        return Run<float>(
            converter.get(), channels, inFrames, outFrames,
            [&](quint64 first, quint64 count, float* buffer) {
                const quint8* p = in + first * frameBytes;
                for (quint64 i = 0; i < count * channels; ++i)
                    buffer[i] = float(S::Load(p + S::kBytes * i));
            },
            [&](quint64 first, quint64 count, const float* buffer) {
                quint8* p = out + first * frameBytes;
                for (quint64 i = 0; i < count * channels; ++i) {
                    if constexpr (S::kFloat)
                        S::Store(p + S::kBytes * i, buffer[i]);
                    else
                        S::Store(p + S::kBytes * i,
                                 std::clamp(int(std::lrint(buffer[i])), S::kLow, S::kHigh));
                }
            });
    });
}

} // namespace wlpro
