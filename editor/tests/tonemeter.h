#pragma once
// The frequency of a recorded tone from the spacing of its rising zero crossings. `zero` is the
// zero line (128 for 8-bit samples, 0 for 16-bit ones).

#include "samplemaker.h"

// 0 when the samples cross the zero line fewer than twice (silence).
inline double ToneFrequency(const Values& samples, double zero, quint32 rate) {
    qint64 first = -1;
    qint64 last = -1;
    int rises = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < zero && samples[i] >= zero) {
            if (first < 0)
                first = qint64(i);
            last = qint64(i);
            ++rises;
        }
    }
    if (rises < 2)
        return 0.0;
    return (rises - 1) * double(rate) / double(last - first);
}
