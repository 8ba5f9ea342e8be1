#pragma once
// The play-out process: korvo32 --play-out ... plays the rest of a disc without a window, through
// the same drive backends and sound output as the player, until the disc ends, SIGTERM or SIGINT
// arrives, or the next player of its data folder takes over (see playoutlink.h). It exits with 0
// then; with a message on stderr and a status other than 0 when its arguments are wrong or the
// disc cannot be played.

#include <optional>

// The exit status when the arguments ask for a play-out (which then runs to its end here); none
// when they do not, and the program goes on as the player.
std::optional<int> RunPlayOutIfAsked(int& argc, char** argv);
