#pragma once
// One frame from one SampleLayout to another, with both layouts fixed at compile time: the
// conversion ReadFrame performs frame by frame, compiled per pair of layouts so that a whole
// sample converts in one tight loop. Values change depth as sampleaccess::ConvertValue says
// (8 to 16 bits is (b - 128) x 256, 16 to 8 bits the high byte plus 128); stereo to mono of
// integers is the mean of the exact sum (shifted, not rounded) taken at the larger of the two
// depths, of floats or into float the mean in floating point; mono to stereo is the value twice.

#include "core/sampleaccess.h"

#include <type_traits>

namespace wlpro::framecodec {

template <SampleLayout L> using LayoutConstant = std::integral_constant<SampleLayout, L>;

// Calls f(LayoutConstant<L>{}) with L the given layout, so that a generic lambda runs the code
// compiled for it.
template <class F> decltype(auto) WithLayout(SampleLayout layout, F&& f) {
    switch (layout) {
    case SampleLayout::Mono16:
        return f(LayoutConstant<SampleLayout::Mono16>{});
    case SampleLayout::Stereo8:
        return f(LayoutConstant<SampleLayout::Stereo8>{});
    case SampleLayout::Stereo16:
        return f(LayoutConstant<SampleLayout::Stereo16>{});
    case SampleLayout::Mono24:
        return f(LayoutConstant<SampleLayout::Mono24>{});
    case SampleLayout::Stereo24:
        return f(LayoutConstant<SampleLayout::Stereo24>{});
    case SampleLayout::MonoFloat:
        return f(LayoutConstant<SampleLayout::MonoFloat>{});
    case SampleLayout::StereoFloat:
        return f(LayoutConstant<SampleLayout::StereoFloat>{});
    case SampleLayout::Mono8:
    default:
        return f(LayoutConstant<SampleLayout::Mono8>{});
    }
}

// As WithLayout, for code that depends on the depth only.
template <class F> decltype(auto) WithDepth(SampleDepth depth, F&& f) {
    switch (depth) {
    case SampleDepth::Int16:
        return f(std::integral_constant<SampleDepth, SampleDepth::Int16>{});
    case SampleDepth::Int24:
        return f(std::integral_constant<SampleDepth, SampleDepth::Int24>{});
    case SampleDepth::Float32:
        return f(std::integral_constant<SampleDepth, SampleDepth::Float32>{});
    case SampleDepth::Int8:
    default:
        return f(std::integral_constant<SampleDepth, SampleDepth::Int8>{});
    }
}

template <SampleLayout Source, SampleLayout Target>
inline void ConvertFrame(const quint8* in, quint8* out) {
    constexpr SampleDepth from = LayoutDepth(Source);
    constexpr SampleDepth to = LayoutDepth(Target);
    using S = sampleaccess::Sample<from>;
    using T = sampleaccess::Sample<to>;
    const auto l = S::Load(in);
    const auto r = LayoutIsStereo(Source) ? S::Load(in + S::kBytes) : l;
    auto convert = [](typename S::Value v) { return sampleaccess::ConvertValue<from, to>(v); };
    if constexpr (!LayoutIsStereo(Source) || LayoutIsStereo(Target)) {
        T::Store(out, convert(l));
        if constexpr (LayoutIsStereo(Target))
            T::Store(out + T::kBytes, convert(r));
    } else if constexpr (S::kFloat) {
        T::Store(out, sampleaccess::ConvertValue<from, to>((l + r) * 0.5f));
    } else if constexpr (T::kFloat) {
        T::Store(out, float((double(l) + double(r)) * (0.5 / S::kScale)));
    } else if constexpr (S::kBits >= T::kBits) {
        T::Store(out, convert((l + r) >> 1));
    } else {
        T::Store(out, (convert(l) + convert(r)) >> 1);
    }
}

} // namespace wlpro::framecodec
