#pragma once
// Band-limited rate conversion of interleaved frames with libsoxr at its very high quality: the
// images and aliases that linear interpolation leaves lie some 140 dB down, under any bit depth
// the editor stores.

#include "core/samplebuffer.h"

namespace wlpro {

// Converts `inFrames` frames of `layout` at `in` from `oldRate` to `newRate` into `outFrames`
// frames of the same layout at `out` (which must not overlap `in`). Samples are rounded to the
// nearest value and clipped to the bit depth's range; 8-bit samples are unsigned around 128 as
// stored. Output past the end of what the converter gives is silence. False when libsoxr refuses.
bool ResampleBandLimited(SampleLayout layout, const quint8* in, quint64 inFrames, quint8* out,
                         quint64 outFrames, double oldRate, double newRate);

} // namespace wlpro
