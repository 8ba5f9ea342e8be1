#include "ui/positionhandler.h"

#include "ui/colorstatic.h"
#include "ui/displaypanel.h"
#include "ui/soundbar.h"

TPositionHandler::TPositionHandler(TDisplayPanel* display, TWiring wiring)
    : FDisplay(display), FWiring(std::move(wiring)) {}

void TPositionHandler::OnScroll(int code, int position) {
    switch (code) {
    case TSoundBar::ThumbTrack:
        if (FWiring.thumbTrack)
            FWiring.thumbTrack(position);
        // Shown now, not at the next idle moment, while the thumb is moving.
        if (FDisplay)
            FDisplay->Field(TDisplayPanel::IdTime)->repaint();
        break;
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
