#include "ui/positionhandler.h"

#include "core/displayfields.h"
#include "ui/colorstatic.h"
#include "ui/displaypanel.h"
#include "ui/soundbar.h"

#include <algorithm>

TPositionHandler::TPositionHandler(TDisplayPanel* display, TWiring wiring)
    : FDisplay(display), FWiring(std::move(wiring)) {}

int TPositionHandler::SliderToMilliseconds(int position, int lengthMs) {
    const double ms = double(position) * double(lengthMs) * 0.0001;
    return std::clamp(static_cast<int>(ms), 0, std::max(0, lengthMs));
}

int TPositionHandler::MillisecondsToSlider(int elapsedMs, int lengthMs) {
    if (lengthMs <= 0)
        return 0;
    return static_cast<int>(static_cast<long long>(elapsedMs) * TSoundBar::Range / lengthMs);
}

int TPositionHandler::ShownSeconds(int ms, int lengthMs, bool elapsed) {
    return elapsed ? ms / 1000 : (lengthMs - ms) / 1000;
}

void TPositionHandler::OnScroll(int code, int position) {
    switch (code) {
    case TSoundBar::ThumbTrack: {
        const int length = FWiring.songLength ? FWiring.songLength() : 0;
        const int ms = SliderToMilliseconds(position, length);
        const bool elapsed = FWiring.elapsedTime && FWiring.elapsedTime();
        FDisplay->SetFieldText(TDisplayPanel::IdTime,
                               FormatTime(ShownSeconds(ms, length, elapsed)));
        // Shown at once, not at the next idle moment, while the thumb is moving.
        FDisplay->Field(TDisplayPanel::IdTime)->repaint();
        break;
    }
    case TSoundBar::LineLeft:
    case TSoundBar::LineRight:
    case TSoundBar::PageLeft:
    case TSoundBar::PageRight:
    case TSoundBar::ThumbPosition:
    case TSoundBar::ToLeft:
    case TSoundBar::ToRight:
        if (FWiring.seek)
            FWiring.seek(position);
        break;
    default:
        break;
    }
}
