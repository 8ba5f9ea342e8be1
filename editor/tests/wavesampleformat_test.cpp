// The conversions between the editor's sample depths and the sound server's formats, and the
// reader that converts a sample as the sink pulls it: every server format a device may fall back
// to gives the sample's values, and a read cut anywhere gives the same bytes as one whole read.

#include "platform/wavesampleformat.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<quint8>;

Bytes Words16(std::initializer_list<qint16> values) {
    Bytes bytes;
    for (qint16 v : values)
        bytes.insert(bytes.end(), {quint8(v), quint8(quint16(v) >> 8)});
    return bytes;
}

Bytes Words24(std::initializer_list<qint32> values) {
    Bytes bytes;
    for (qint32 v : values)
        bytes.insert(bytes.end(), {quint8(v), quint8(v >> 8), quint8(v >> 16)});
    return bytes;
}

Bytes Words32(std::initializer_list<qint32> values) {
    Bytes bytes(values.size() * 4);
    quint8* p = bytes.data();
    for (qint32 v : values) {
        qToLittleEndian(v, p);
        p += 4;
    }
    return bytes;
}

Bytes Floats(std::initializer_list<float> values) {
    Bytes bytes(values.size() * 4);
    quint8* p = bytes.data();
    for (float v : values) {
        qToLittleEndian(v, p);
        p += 4;
    }
    return bytes;
}

std::size_t SampleBytes(QAudioFormat::SampleFormat format) {
    return format == QAudioFormat::UInt8 ? 1 : format == QAudioFormat::Int16 ? 2 : 4;
}

struct ConversionCase {
    const char* name;
    SampleDepth depth;
    Bytes sample;
    QAudioFormat::SampleFormat format;
    Bytes server;
};

class ServerConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ServerConversion, PlaysAsTheServersFormat) {
    const ConversionCase& c = GetParam();
    const quint64 samples = c.sample.size() / DepthBytes(c.depth);
    Bytes out(samples * SampleBytes(c.format));
    ToServerSamples(c.depth, c.sample.data(), c.format, out.data(), samples);
    EXPECT_EQ(out, c.server);
}

INSTANTIATE_TEST_SUITE_P(
    Playback, ServerConversion,
    ::testing::Values(
        // The exact ones: 24-bit in the top three bytes of 32, or divided by 2^23.
        ConversionCase{"Int24AsInt32", SampleDepth::Int24, Words24({0, 1, -1, 8388607, -8388608}),
                       QAudioFormat::Int32, Words32({0, 256, -256, 2147483392, -2147483647 - 1})},
        ConversionCase{"Int24AsFloat", SampleDepth::Int24, Words24({0, 4194304, -8388608, 1}),
                       QAudioFormat::Float, Floats({0.0f, 0.5f, -1.0f, 1.0f / 8388608})},
        // 16 bits: rounded to the nearest step, halves away from 0, the top clipped.
        ConversionCase{"Int24AsInt16", SampleDepth::Int24,
                       Words24({0x7FFFFF, 0x0180, 0x017F, -0x0180, -8388608}), QAudioFormat::Int16,
                       Words16({32767, 2, 1, -2, -32768})},
        // Float passes through as it is, values beyond full scale too (the server clips).
        ConversionCase{"FloatAsFloat", SampleDepth::Float32, Floats({0.25f, -1.5f, 2.0f}),
                       QAudioFormat::Float, Floats({0.25f, -1.5f, 2.0f})},
        ConversionCase{"FloatAsInt32", SampleDepth::Float32, Floats({0.5f, -1.0f, 1.0f, -3.0f}),
                       QAudioFormat::Int32,
                       Words32({1073741824, -2147483647 - 1, 2147483647, -2147483647 - 1})},
        ConversionCase{"FloatAsInt16", SampleDepth::Float32, Floats({0.5f, -0.5f, 1.25f, 0.0f}),
                       QAudioFormat::Int16, Words16({16384, -16384, 32767, 0})},
        // 8- and 16-bit reach the server byte for byte.
        ConversionCase{"Int8AsUInt8", SampleDepth::Int8, Bytes{0, 128, 255, 7}, QAudioFormat::UInt8,
                       Bytes{0, 128, 255, 7}},
        ConversionCase{"Int16AsInt16", SampleDepth::Int16, Words16({-32768, 5, 32767}),
                       QAudioFormat::Int16, Words16({-32768, 5, 32767})}),
    [](const auto& info) { return std::string(info.param.name); });

class RecordingConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(RecordingConversion, RecordsAtTheSamplesDepth) {
    const ConversionCase& c = GetParam();
    const quint64 samples = c.server.size() / SampleBytes(c.format);
    Bytes out(samples * DepthBytes(c.depth));
    FromServerSamples(c.format, c.server.data(), c.depth, out.data(), samples);
    EXPECT_EQ(out, c.sample);
}

INSTANTIATE_TEST_SUITE_P(
    Recording, RecordingConversion,
    ::testing::Values(
        // 32-bit integers keep their top 24 bits, rounded; the top clipped.
        ConversionCase{"Int32AsInt24", SampleDepth::Int24, Words24({0, 1, -1, 8388607, -8388608}),
                       QAudioFormat::Int32, Words32({0, 256, -255, 2147483647, -2147483647 - 1})},
        ConversionCase{"FloatAsInt24", SampleDepth::Int24, Words24({4194304, -8388608, 8388607}),
                       QAudioFormat::Float, Floats({0.5f, -1.0f, 1.5f})},
        ConversionCase{"FloatAsFloat", SampleDepth::Float32, Floats({0.125f, -1.25f}),
                       QAudioFormat::Float, Floats({0.125f, -1.25f})},
        ConversionCase{"Int32AsFloat", SampleDepth::Float32, Floats({0.5f, -1.0f}),
                       QAudioFormat::Int32, Words32({1073741824, -2147483647 - 1})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServerFormats, WideDepthsFallBackForPlaybackButRecordOnlyWhatKeepsThem) {
    using F = QAudioFormat;
    const struct {
        SampleDepth depth;
        QList<F::SampleFormat> output, input;
    } cases[] = {{SampleDepth::Int8, {F::UInt8}, {F::UInt8}},
                 {SampleDepth::Int16, {F::Int16}, {F::Int16}},
                 {SampleDepth::Int24, {F::Int32, F::Float, F::Int16}, {F::Int32, F::Float}},
                 {SampleDepth::Float32, {F::Float, F::Int32, F::Int16}, {F::Float, F::Int32}}};
    for (const auto& c : cases) {
        EXPECT_EQ(ServerFormatsFor(c.depth, QAudioDevice::Output), c.output) << int(c.depth);
        EXPECT_EQ(ServerFormatsFor(c.depth, QAudioDevice::Input), c.input) << int(c.depth);
    }
}

// Reads the whole of `reader` in pieces of `piece` bytes.
Bytes ReadInPieces(CWaveSampleReader& reader, qint64 piece) {
    Bytes out;
    while (!reader.atEnd()) {
        std::vector<char> part(static_cast<std::size_t>(piece));
        const qint64 got = reader.read(part.data(), piece);
        if (got <= 0)
            break;
        out.insert(out.end(), part.begin(), part.begin() + got);
    }
    return out;
}

TEST(WaveSampleReader, AnyCutOfTheReadsGivesTheWholeConversion) {
    Bytes sample;
    for (int i = 0; i < 301; ++i)
        for (const quint8 b : Words24({(i * 104729) % 8388608 - 4194304}))
            sample.push_back(b);
    sample.push_back(0x55); // an odd byte past the last whole sample is not played
    const quint64 samples = 301;
    for (const QAudioFormat::SampleFormat format :
         {QAudioFormat::Int32, QAudioFormat::Float, QAudioFormat::Int16}) {
        Bytes whole(samples * SampleBytes(format));
        ToServerSamples(SampleDepth::Int24, sample.data(), format, whole.data(), samples);
        for (const qint64 piece : {1, 3, 5, 4, 7, 64, 4096}) {
            CWaveSampleReader reader;
            reader.Start(sample.data(), quint32(sample.size()), SampleDepth::Int24, format);
            EXPECT_EQ(reader.size(), qint64(whole.size()));
            EXPECT_EQ(ReadInPieces(reader, piece), whole) << format << " in pieces of " << piece;
            EXPECT_TRUE(reader.atEnd());
        }
        CWaveSampleReader reader;
        reader.Start(sample.data(), quint32(sample.size()), SampleDepth::Int24, format);
        ASSERT_TRUE(reader.seek(qint64(whole.size()) - 6));
        EXPECT_EQ(ReadInPieces(reader, 5), Bytes(whole.end() - 6, whole.end())) << "after a seek";
    }
}

} // namespace
