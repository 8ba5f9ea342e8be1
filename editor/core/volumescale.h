#pragma once
// The two units of the Adjust Volume dialog's gain texts: a percentage of the original volume,
// or decibels relative to it (0 dB = 100 %). Kept out of the dialog so the arithmetic of the
// texts can be checked without a window.

#include <QString>

#include <optional>

class CVolumeScale {
public:
    // The percentage a gain text stands for; empty when the text is not a number.
    static std::optional<double> PercentFromText(const QString& text, bool decibels);
    // "%.1f" of the percentage, or "%.2f" of its decibel value; 0 % reads "-inf" dB.
    static QString TextFromPercent(double percent, bool decibels);
    static double DecibelsFromPercent(double percent);
    static double PercentFromDecibels(double decibels);
};
