#include "core/volumescale.h"

#include <cmath>

std::optional<double> CVolumeScale::PercentFromText(const QString& text, bool decibels) {
    const QString trimmed = text.trimmed();
    // Silence in decibels, as TextFromPercent writes it.
    if (decibels && trimmed.compare(QLatin1String("-inf"), Qt::CaseInsensitive) == 0)
        return 0.0;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return decibels ? PercentFromDecibels(value) : value;
}

QString CVolumeScale::TextFromPercent(double percent, bool decibels) {
    if (decibels)
        return QString::asprintf("%.2f", DecibelsFromPercent(percent));
    return QString::asprintf("%.1f", percent);
}

double CVolumeScale::DecibelsFromPercent(double percent) {
    return 20.0 * std::log10(percent * 0.01);
}

double CVolumeScale::PercentFromDecibels(double decibels) {
    return 100.0 * std::pow(10.0, decibels * 0.05);
}
