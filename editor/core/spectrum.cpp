#include "core/spectrum.h"

#include <QtEndian>

#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

namespace wlpro::spectrum {

namespace {

constexpr int kSmallSize = 512;
constexpr int kLargeSize = 1024;

// One plan per size for the life of the program: plans are made under this lock and then only
// executed (fftwf_execute_dft_r2c is thread-safe) on arrays of the same alignment, which
// fftwf_malloc gives every array.
fftwf_plan PlanFor(int size) {
    static std::mutex lock;
    static std::map<int, fftwf_plan> plans;
    const std::lock_guard<std::mutex> guard(lock);
    fftwf_plan& plan = plans[size];
    if (!plan) {
        auto* in = static_cast<float*>(fftwf_malloc(sizeof(float) * size));
        auto* out = static_cast<float*>(fftwf_malloc(sizeof(fftwf_complex) * BinCount(size)));
        plan = fftwf_plan_dft_r2c_1d(size, in, reinterpret_cast<fftwf_complex*>(out),
                                     FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        fftwf_free(in);
        fftwf_free(out);
    }
    return plan;
}

// Lightness rises steadily from black: dark violet, purple, crimson, orange, yellow, pale
// cream. Linear steps between these stops keep each band's hue apart on screen.
struct CStop {
    double at;
    int r, g, b;
};
constexpr CStop kStops[] = {
    {0.00, 0, 0, 0},      {0.13, 27, 12, 65},    {0.25, 74, 12, 107},  {0.38, 120, 28, 109},
    {0.50, 165, 44, 96},  {0.63, 207, 68, 70},   {0.75, 237, 105, 37}, {0.88, 251, 155, 6},
    {0.95, 247, 209, 61}, {1.00, 252, 255, 164},
};

std::array<QRgb, kLevels> MakeColours() {
    std::array<QRgb, kLevels> table{};
    for (int i = 0; i < kLevels; ++i) {
        const double t = double(i) / (kLevels - 1);
        int s = 0;
        while (kStops[s + 1].at < t)
            ++s;
        const CStop& a = kStops[s];
        const CStop& b = kStops[s + 1];
        const double f = (t - a.at) / (b.at - a.at);
        auto mix = [f](int x, int y) { return int(std::lround(x + (y - x) * f)); };
        table[i] = qRgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
    }
    return table;
}

} // namespace

int SizeFor(quint32 frames) {
    return frames < quint32(kLargeSize) ? kSmallSize : kLargeSize;
}

CWindows ColumnWindows(quint32 start, quint32 frames, quint32 frameCount, int size) {
    CWindows windows;
    // The last column may hold fewer frames than the others.
    const quint64 have = start < frameCount ? std::min<quint64>(frames, frameCount - start) : 0;
    const quint64 span = std::max<quint64>(have, 1);
    if (span <= quint64(size)) {
        windows.start[0] = qint64(start) + qint64(span / 2) - size / 2;
        windows.count = 1;
        return windows;
    }
    const quint64 free = span - quint64(size);
    const int count = int(std::min<quint64>(kMaxWindows, (span + size - 1) / size));
    windows.count = count;
    for (int j = 0; j < count; ++j)
        windows.start[j] = qint64(start) + qint64(count > 1 ? free * j / (count - 1) : 0);
    return windows;
}

quint64 ColumnReach(quint32 start, quint32 frames) {
    const int size = SizeFor(frames);
    return quint64(start) + std::max<quint64>(frames, quint64(frames / 2) + size / 2);
}

void ReadChannel(const CSampleBuffer& buffer, int channel, qint64 first, int count, float* out) {
    std::fill(out, out + count, 0.0f);
    const quint8* data = buffer.GetData();
    const qint64 frames = buffer.GetFrameCount();
    const qint64 from = std::max<qint64>(first, 0);
    const qint64 to = std::min<qint64>(first + count, frames);
    if (!data || from >= to)
        return;
    const SampleLayout layout = buffer.GetLayout();
    const quint32 bytes = LayoutBytesPerSample(layout);
    const quint32 stride = LayoutBytesPerFrame(layout);
    const quint32 offset = LayoutChannels(layout) > 1 && channel == 1 ? bytes : 0;
    const quint8* p = data + quint64(from) * stride + offset;
    float* o = out + (from - first);
    const qint64 n = to - from;
    switch (LayoutDepth(layout)) {
    case SampleDepth::Int8:
        for (qint64 i = 0; i < n; ++i, p += stride)
            o[i] = float(int(p[0]) - 128) * (1.0f / 128);
        break;
    case SampleDepth::Int16:
        for (qint64 i = 0; i < n; ++i, p += stride)
            o[i] = float(qFromLittleEndian<qint16>(p)) * (1.0f / 32768);
        break;
    case SampleDepth::Int24:
        for (qint64 i = 0; i < n; ++i, p += stride) {
            const qint32 v = qint32(quint32(p[0]) << 8 | quint32(p[1]) << 16 | quint32(p[2]) << 24);
            o[i] = float(v >> 8) * (1.0f / 8388608);
        }
        break;
    case SampleDepth::Float32:
        for (qint64 i = 0; i < n; ++i, p += stride)
            o[i] = qFromLittleEndian<float>(p);
        break;
    }
}

quint8 LevelOfDb(double db) {
    if (!(db > kFloorDb))
        return 0;
    // Also an infinite level, from float samples that hold one.
    if (db >= 0)
        return kLevels - 1;
    return quint8(
        std::clamp<long>(std::lround((db - kFloorDb) * (kLevels - 1) / -kFloorDb), 0, kLevels - 1));
}

double DbOfLevel(int level) {
    return kFloorDb + double(level) * -kFloorDb / (kLevels - 1);
}

const QRgb* Colours() {
    static const std::array<QRgb, kLevels> table = MakeColours();
    return table.data();
}

QRgb Colour(int level) {
    return Colours()[std::clamp(level, 0, kLevels - 1)];
}

CAnalyser::CAnalyser(int size)
    : m_size(size), m_plan(PlanFor(size)),
      m_in(static_cast<float*>(fftwf_malloc(sizeof(float) * size))),
      m_out(static_cast<float*>(fftwf_malloc(sizeof(fftwf_complex) * BinCount(size)))),
      m_window(size_t(size)), m_power(size_t(BinCount(size))) {
    double sum = 0;
    // The periodic Hann window: its sum is exactly size / 2.
    for (int n = 0; n < size; ++n) {
        m_window[size_t(n)] = float(0.5 - 0.5 * std::cos(2.0 * M_PI * n / size));
        sum += m_window[size_t(n)];
    }
    m_norm = 2.0 / sum;
}

CAnalyser::~CAnalyser() {
    fftwf_free(m_in);
    fftwf_free(m_out);
}

void CAnalyser::PowerSpectrum(const float* samples, int windows) {
    std::fill(m_power.begin(), m_power.end(), 0.0);
    const int bins = BinCount(m_size);
    for (int w = 0; w < windows; ++w) {
        const float* block = samples + size_t(w) * size_t(m_size);
        for (int n = 0; n < m_size; ++n)
            m_in[n] = block[n] * m_window[size_t(n)];
        fftwf_execute_dft_r2c(m_plan, m_in, reinterpret_cast<fftwf_complex*>(m_out));
        for (int k = 0; k < bins; ++k) {
            const double re = m_out[2 * k];
            const double im = m_out[2 * k + 1];
            m_power[size_t(k)] += re * re + im * im;
        }
    }
    const double scale = m_norm * m_norm / std::max(windows, 1);
    for (double& p : m_power)
        p *= scale;
}

void CAnalyser::Levels(const float* samples, int windows, quint8* levels) {
    PowerSpectrum(samples, windows);
    // Comparing powers against the level's thresholds would avoid the logarithm; the logarithm
    // costs little beside the FFT.
    for (size_t k = 0; k < m_power.size(); ++k)
        levels[k] = m_power[k] > 0 ? LevelOfDb(10.0 * std::log10(m_power[k])) : 0;
}

void CAnalyser::Decibels(const float* samples, int windows, double* db) {
    PowerSpectrum(samples, windows);
    for (size_t k = 0; k < m_power.size(); ++k)
        db[k] = m_power[k] > 0 ? 10.0 * std::log10(m_power[k]) : -HUGE_VAL;
}

namespace {

std::vector<float> ColumnSamples(const CSampleBuffer& buffer, int channel, quint32 start,
                                 quint32 frames, int size, int& windows) {
    const CWindows at = ColumnWindows(start, frames, buffer.GetFrameCount(), size);
    std::vector<float> samples(size_t(at.count) * size_t(size));
    for (int j = 0; j < at.count; ++j)
        ReadChannel(buffer, channel, at.start[j], size, samples.data() + size_t(j) * size_t(size));
    windows = at.count;
    return samples;
}

} // namespace

std::vector<quint8> ColumnLevels(const CSampleBuffer& buffer, int channel, quint32 start,
                                 quint32 frames) {
    const int size = SizeFor(frames);
    int windows = 0;
    const std::vector<float> samples = ColumnSamples(buffer, channel, start, frames, size, windows);
    std::vector<quint8> levels(size_t(BinCount(size)));
    CAnalyser(size).Levels(samples.data(), windows, levels.data());
    return levels;
}

std::vector<double> ColumnDecibels(const CSampleBuffer& buffer, int channel, quint32 start,
                                   quint32 frames) {
    const int size = SizeFor(frames);
    int windows = 0;
    const std::vector<float> samples = ColumnSamples(buffer, channel, start, frames, size, windows);
    std::vector<double> db(size_t(BinCount(size)));
    CAnalyser(size).Decibels(samples.data(), windows, db.data());
    return db;
}

CRowMap::CRowMap(int size, int rows)
    : m_size(size), m_first(size_t(std::max(rows, 0))), m_end(size_t(std::max(rows, 0))) {
    const int half = size / 2;
    for (int y = 0; y < rows; ++y) {
        const int r = rows - 1 - y;
        int first = int(qint64(r) * half / rows);
        int end = int(qint64(r + 1) * half / rows);
        if (end <= first) {
            first = std::min(int(((2 * qint64(r) + 1) * half + rows) / (2 * rows)), half);
            end = first + 1;
        }
        // Half the rate belongs to the top row.
        if (r == rows - 1)
            end = half + 1;
        m_first[size_t(y)] = first;
        m_end[size_t(y)] = end;
    }
}

int CRowMap::RowOf(double hertz, quint32 rate) const {
    const int rows = Rows();
    const int r = std::clamp(int(std::floor(hertz / (rate / 2.0) * rows)), 0, rows - 1);
    return rows - 1 - r;
}

} // namespace wlpro::spectrum
