#pragma once
// What moving the position slider does, by scroll code. While the thumb is dragged the time
// follows it (the play controller writes the display's time field, which is repainted at once)
// and nothing is sought; any finished movement (a line or page step, the thumb let go, Home, End)
// seeks the current song to the slider's position. End-of-scrolling does nothing.

#include <functional>

class TDisplayPanel;

class TPositionHandler {
public:
    struct TWiring {
        std::function<void(int)> thumbTrack; // show the time at a slider position
        std::function<void(int)> seek;       // seek the current song to a slider position
    };

    // `display` may be null; with one, the time field is repainted at once while dragging.
    TPositionHandler(TDisplayPanel* display, TWiring wiring);

    // Called with each scroll code of the position slider and where the slider stands.
    void OnScroll(int code, int position);

private:
    TDisplayPanel* FDisplay;
    TWiring FWiring;
};
