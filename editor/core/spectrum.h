#pragma once
// The spectrum of one pixel column of a strip: the frames a column covers, one channel, through a
// Hann-windowed FFT (FFTW, single precision), as levels on a dB scale and colours of a perceptual
// map. No widgets here; the strip draws what this computes, and CSpectrumCache runs it on a
// worker.
//
// A column of N frames from `start`:
//  - the FFT has 512 points while N is below 1024, 1024 points from there on;
//  - while N is below the FFT's size one window is centred on the column (its middle frame), so
//    at high zoom each column shows the sound around it;
//  - otherwise up to kMaxWindows windows are spread evenly from the column's first frame to its
//    last, and their powers averaged: the cost of a column stays bounded however far the view
//    is zoomed out, at the price of sampling rather than covering a very wide column;
//  - frames before the sample or past its end count as silence.
// Bin k of an FFT of size L lies at k x rate / L; bins 0 to L/2 run from 0 Hz to half the rate.
//
// Levels: 20 log10 of the bin's magnitude, scaled so that a full-scale sine reads 0 dB, clamped
// to -120..0 dB and stored as a byte: 0 is -120 dB or less, 255 is 0 dB or more.

#include "core/samplebuffer.h"

#include <QRgb>
#include <QtGlobal>

#include <vector>

struct fftwf_plan_s;

namespace wlpro::spectrum {

constexpr double kFloorDb = -120.0;
constexpr int kLevels = 256;
constexpr int kMaxWindows = 8;

// FFT size for columns of `frames` frames.
int SizeFor(quint32 frames);
// Bins of an FFT of `size` points: 0 Hz to half the rate, both included.
constexpr int BinCount(int size) {
    return size / 2 + 1;
}

// Where the windows of one column start (frame numbers, possibly before 0 or past the end).
struct CWindows {
    qint64 start[kMaxWindows] = {};
    int count = 0;
};
// `frames` per column, the column starting at `start`, in a sample of `frameCount` frames.
CWindows ColumnWindows(quint32 start, quint32 frames, quint32 frameCount, int size);
// The last frame (exclusive) any window of such a column reads: an edit before it changes the
// column.
quint64 ColumnReach(quint32 start, quint32 frames);

// `count` samples of `channel` (0 left or only, 1 right) from frame `first` on, scaled to
// -1.0..+1.0 (8-bit: (b - 128) / 128, 16-bit: v / 32768, 24-bit: v / 2^23, float as it is).
// Frames outside the sample read 0.
void ReadChannel(const CSampleBuffer& buffer, int channel, qint64 first, int count, float* out);

quint8 LevelOfDb(double db);
double DbOfLevel(int level);
// The colour map: level 0 (-120 dB) black, rising in lightness through purple, red and orange to
// a pale yellow at 0 dB.
QRgb Colour(int level);
// The whole table, for drawing loops.
const QRgb* Colours();

// Computes columns for one FFT size. Each object has its own work arrays, so several may run on
// different threads at once; the plans they share are made once, under a lock, since FFTW's
// planner is not thread-safe.
class CAnalyser {
public:
    explicit CAnalyser(int size);
    ~CAnalyser();
    CAnalyser(const CAnalyser&) = delete;
    CAnalyser& operator=(const CAnalyser&) = delete;

    int Size() const { return m_size; }
    // Levels of the mean power of `windows` blocks of Size() samples, laid one after another in
    // `samples`; BinCount(Size()) bytes into `levels`.
    void Levels(const float* samples, int windows, quint8* levels);
    // The same as dB values (not clamped, not quantised), for measuring.
    void Decibels(const float* samples, int windows, double* db);

private:
    void PowerSpectrum(const float* samples, int windows);

    int m_size;
    fftwf_plan_s* m_plan;
    float* m_in;
    // Complex output, interleaved re/im.
    float* m_out;
    std::vector<float> m_window;
    std::vector<double> m_power;
    // 2 / sum of the window: a full-scale sine at a bin's centre gets magnitude 1.
    double m_norm = 0;
};

// The whole column computed at once, reading the buffer on the calling thread.
std::vector<quint8> ColumnLevels(const CSampleBuffer& buffer, int channel, quint32 start,
                                 quint32 frames);
std::vector<double> ColumnDecibels(const CSampleBuffer& buffer, int channel, quint32 start,
                                   quint32 frames);

// Which bins make each pixel row of a strip `rows` high (row 0 at the top, half the rate; the
// bottom row 0 Hz). A row spanning several bins shows the loudest, so that a tone never falls
// between rows; a row narrower than a bin shows the nearest bin.
class CRowMap {
public:
    CRowMap() = default;
    CRowMap(int size, int rows);
    int Size() const { return m_size; }
    int Rows() const { return int(m_first.size()); }
    quint8 Level(const quint8* bins, int row) const {
        quint8 level = 0;
        for (int k = m_first[row]; k < m_end[row]; ++k)
            level = bins[k] > level ? bins[k] : level;
        return level;
    }
    // The row whose frequency band holds `hertz` at `rate`.
    int RowOf(double hertz, quint32 rate) const;

private:
    int m_size = 0;
    std::vector<int> m_first;
    std::vector<int> m_end;
};

} // namespace wlpro::spectrum

namespace spectrum = wlpro::spectrum;
