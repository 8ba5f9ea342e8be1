#pragma once
// The ids by which disc databases know a disc, from its table of contents. They count sectors
// from the start of the lead-in, so each track's logical sector gets the 150-sector lead-in added.
//   - MusicBrainz: SHA-1 of the upper-case hex of first track, last track, lead-out and 99
//     offsets (0 for absent), in base64 with "+/=" written "._-".
//   - freedb: digit sums of the track starts in seconds, disc length in seconds, track count.
//   - AccurateRip: "nnn-xxxxxxxx-yyyyyyyy-zzzzzzzz" of track count, sum of offsets, sum of
//     offsets times track number (lead-out as the track after the last), and the freedb id.

#include "core/disctoc.h"

#include <QString>

class TDiscIds {
public:
    static constexpr int kLeadIn = 150;

    static QString MusicBrainz(const TDiscToc& toc);
    static quint32 Freedb(const TDiscToc& toc);
    static QString FreedbText(const TDiscToc& toc); // eight lower-case hex digits
    static QString AccurateRip(const TDiscToc& toc);
};
