#pragma once
// The view's Envelope and Stereo Panning commands: each runs its dialog over the view's selection
// and, after OK, applies the curve as one undo step and tells the document which frames changed.
// Both return true when the sample was changed; false for Cancel, for a view without a range,
// while the sample plays or records, and (panning) for a mono sample.

class CWlproView;

bool RunEnvelope(CWlproView& view);
bool RunStereoPanning(CWlproView& view);
