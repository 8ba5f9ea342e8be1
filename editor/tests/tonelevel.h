#pragma once
// The level of one frequency in a signal, by the Goertzel recurrence at exactly that frequency
// over a Hann window: a sine of amplitude A reads as A wherever it lies between bins, and a tone
// some hundreds of hertz away leaks nothing measurable into it. No test framework here, so that
// the benchmarks measure with the same detector.

#include <algorithm>
#include <cmath>
#include <vector>

inline double ToneAmplitude(const std::vector<double>& samples, double hertz, double rate) {
    const std::size_t n = samples.size();
    if (n < 2)
        return 0.0;
    const double omega = 2.0 * M_PI * hertz / rate;
    const double coefficient = 2.0 * std::cos(omega);
    double s1 = 0.0;
    double s2 = 0.0;
    double windowSum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * double(i) / double(n - 1));
        windowSum += w;
        const double s0 = samples[i] * w + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / windowSum;
}

inline double Decibels(double ratio) {
    return 20.0 * std::log10(std::max(ratio, 1e-12));
}

// A sine of `amplitude` at `hertz`, `frames` samples at `rate`.
inline std::vector<double> Sine(double amplitude, double hertz, double rate, std::size_t frames) {
    std::vector<double> out(frames);
    for (std::size_t i = 0; i < frames; ++i)
        out[i] = amplitude * std::sin(2.0 * M_PI * hertz * double(i) / rate);
    return out;
}
