#pragma once
// What moving the position slider does. While the thumb is dragged the display's time field
// follows it (elapsed or remaining time, as the option says) and nothing is sought; any finished
// movement (a line or page step, the thumb let go, Home, End) seeks the current song to the
// slider's position.

#include <functional>

class TDisplayPanel;

class TPositionHandler {
public:
    struct TWiring {
        std::function<int()> songLength;   // the current song's length in ms, from the drive
        std::function<bool()> elapsedTime; // the "Elapsed Time" option's check mark
        std::function<void(int)> seek;     // seek the current song to a slider position
    };

    TPositionHandler(TDisplayPanel* display, TWiring wiring);

    // Called with each scroll code of the position slider and where the slider stands.
    void OnScroll(int code, int position);

    // Slider position (0..10000) to milliseconds into a song, never beyond its end.
    static int SliderToMilliseconds(int position, int lengthMs);
    // Elapsed milliseconds to a slider position; 0 for a song without length.
    static int MillisecondsToSlider(int elapsedMs, int lengthMs);
    // The seconds the time field shows at `ms` into a song of `lengthMs`.
    static int ShownSeconds(int ms, int lengthMs, bool elapsed);

private:
    TDisplayPanel* FDisplay;
    TWiring FWiring;
};
