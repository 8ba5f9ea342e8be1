#pragma once
// One frame from one SampleLayout to another, with both layouts fixed at compile time: the
// conversion ReadFrame performs frame by frame, compiled per pair of layouts so that a whole
// sample converts in one tight loop. Values: 8 to 16 bits is (b - 128) x 256, 16 to 8 bits the
// high byte plus 128, stereo to mono the mean of the exact integer sum (shifted, not rounded),
// mono to stereo the value twice. Results wrap modulo 2^8 or 2^16.

#include "core/sampleaccess.h"

namespace wlpro::framecodec {

template <SampleLayout Source, SampleLayout Target>
inline void ConvertFrame(const quint8* in, quint8* out) {
    constexpr bool wide = LayoutIs16Bit(Source);
    constexpr bool stereo = LayoutIsStereo(Source);
    // Exact integers: 0..255 for 8-bit data, -32768..32767 for 16-bit.
    const int l = wide ? sampleaccess::LoadWord(in) : in[0];
    const int r = stereo ? (wide ? sampleaccess::LoadWord(in + 2) : in[1]) : l;
    [[maybe_unused]] auto narrow = [](int w) { return quint8(((w >> 8) + 128) & 0xFF); };
    [[maybe_unused]] auto widen = [](int b) { return wide ? b : (b - 128) * 256; };
    if constexpr (Target == SampleLayout::Mono8) {
        if constexpr (!stereo)
            out[0] = wide ? narrow(l) : quint8(l);
        else
            out[0] = wide ? quint8((((l + r) >> 9) + 128) & 0xFF) : quint8((l + r) >> 1);
    } else if constexpr (Target == SampleLayout::Mono16) {
        if constexpr (!stereo)
            sampleaccess::StoreWord(out, widen(l));
        else
            sampleaccess::StoreWord(out, wide ? (l + r) >> 1 : (l + r - 256) * 128);
    } else if constexpr (Target == SampleLayout::Stereo8) {
        out[0] = wide ? narrow(l) : quint8(l);
        out[1] = wide ? narrow(r) : quint8(r);
    } else {
        sampleaccess::StoreWord(out, widen(l));
        sampleaccess::StoreWord(out + 2, widen(r));
    }
}

} // namespace wlpro::framecodec
