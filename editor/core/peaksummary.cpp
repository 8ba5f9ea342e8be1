// The min/max summary behind the Peaks strip. Building it reads every byte once, so it must run
// at memory speed: whole blocks go through the vector loops of peakblocks.h, the frames at a
// range's ends through a loop per layout, sixteen bytes at a time where SSE2 is there.

#include "core/peaksummary.h"

#include "core/framecodec.h"
#include "core/peakblocks.h"
#include "core/sampleaccess.h"

#include <algorithm>
#include <cstddef>

namespace {

using namespace wlpro::peakblocks;

// The bytes of the whole frames that fit in kBlockBytes: all of them but for 24-bit layouts.
quint64 BlockBytes(SampleLayout layout) {
    return kBlockBytes / LayoutBytesPerFrame(layout) * LayoutBytesPerFrame(layout);
}
// Blocks of one level that make one block of the level above.
constexpr std::size_t kFanOut = 16;

template <bool Wide> int ValueAt(const quint8* sample) {
    if constexpr (Wide)
        return sampleaccess::LoadWord(sample);
    else
        return (int(*sample) - 128) * 256;
}

// Widens lo/hi (signed 16-bit values per channel) by the frames stored in p..end-1.
template <bool Wide, bool Stereo>
void ScanFrames(const quint8* p, const quint8* end, int (&lo)[2], int (&hi)[2]) {
    constexpr int kSampleBytes = Wide ? 2 : 1;
    constexpr int kFrameBytes = kSampleBytes * (Stereo ? 2 : 1);
    auto foldFrame = [&](const quint8* frame) {
        for (int c = 0; c < (Stereo ? 2 : 1); ++c) {
            const int value = ValueAt<Wide>(frame + c * kSampleBytes);
            lo[c] = std::min(lo[c], value);
            hi[c] = std::max(hi[c], value);
        }
    };
#ifdef __SSE2__
    // Sixteen bytes hold whole frames in every layout, so each lane keeps to one channel, and
    // halving the vector down to one frame's bytes leaves each channel's extremes there.
    if (end - p >= 16) {
        auto load = [](const quint8* at) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        };
        __m128i low = load(p);
        __m128i high = low;
        // Four vectors a turn: the loop's own counting would otherwise cost more than the
        // comparisons.
        for (p += 16; end - p >= 64; p += 64) {
            const __m128i a = load(p);
            const __m128i b = load(p + 16);
            const __m128i c = load(p + 32);
            const __m128i d = load(p + 48);
            low = Lower<Wide>(low, Lower<Wide>(Lower<Wide>(a, b), Lower<Wide>(c, d)));
            high = Upper<Wide>(high, Upper<Wide>(Upper<Wide>(a, b), Upper<Wide>(c, d)));
        }
        for (; end - p >= 16; p += 16) {
            low = Lower<Wide>(low, load(p));
            high = Upper<Wide>(high, load(p));
        }
        FoldToFrame<Wide, kFrameBytes>(low, high);
        alignas(16) quint8 lanes[2][16];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), low);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), high);
        foldFrame(lanes[0]);
        foldFrame(lanes[1]);
    }
#endif
    for (; p + kFrameBytes <= end; p += kFrameBytes)
        foldFrame(p);
}

// 24-bit and float samples: their extremes in their own values, then brought to 16 bits once,
// by a conversion that keeps the order of values (24-bit: the high 16 bits; float: x 32768
// rounded down and clipped, so values beyond full scale show at the limit).
template <SampleDepth D, bool Stereo>
void ScanWide(const quint8* p, const quint8* end, int (&lo)[2], int (&hi)[2]) {
    using S = wlpro::sampleaccess::Sample<D>;
    using Value = typename S::Value;
    constexpr int kChannels = Stereo ? 2 : 1;
    constexpr quint64 kFrameBytes = S::kBytes * kChannels;
    const quint64 frames = quint64(end - p) / kFrameBytes;
    if (frames == 0)
        return;
    Value low[kChannels];
    Value high[kChannels];
    for (int c = 0; c < kChannels; ++c)
        low[c] = high[c] = S::Load(p + c * S::kBytes);
    quint64 i = 1;
#ifdef __SSE2__
    if constexpr (D == SampleDepth::Int24) {
        // Eight samples a turn as their high 16 bits, the value the summary keeps; eight is a
        // whole number of frames, so each 16-bit lane keeps to one channel. The loads read up
        // to 28 bytes from the turn's start.
        const quint64 samples = frames * kChannels;
        if (samples >= 16) {
            auto words = [](const quint8* at) {
                auto lanes = [](const quint8* q) {
                    return _mm_srai_epi32(wlpro::sampleaccess::Int24Lanes(
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(q))),
                                          16);
                };
                return _mm_packs_epi32(lanes(at), lanes(at + 12));
            };
            __m128i lo16 = words(p);
            __m128i hi16 = lo16;
            quint64 s = 8;
            for (; s + 10 <= samples; s += 8) {
                const __m128i w = words(p + 3 * s);
                lo16 = _mm_min_epi16(lo16, w);
                hi16 = _mm_max_epi16(hi16, w);
            }
            alignas(16) qint16 los[8];
            alignas(16) qint16 his[8];
            _mm_store_si128(reinterpret_cast<__m128i*>(los), lo16);
            _mm_store_si128(reinterpret_cast<__m128i*>(his), hi16);
            for (int k = 0; k < 8; ++k) {
                lo[k % kChannels] = std::min<int>(lo[k % kChannels], los[k]);
                hi[k % kChannels] = std::max<int>(hi[k % kChannels], his[k]);
            }
            i = s / kChannels;
        }
    } else if (frames * kChannels >= 8) {
        // Float samples four at a time (two stereo frames); min and max with the sample first
        // pass over a sample that is no number, as the loop below does.
        const quint64 samples = frames * kChannels;
        __m128 lo4 = _mm_loadu_ps(reinterpret_cast<const float*>(p));
        __m128 hi4 = lo4;
        quint64 s = 4;
        for (; s + 4 <= samples; s += 4) {
            const __m128 v = _mm_loadu_ps(reinterpret_cast<const float*>(p + 4 * s));
            lo4 = _mm_min_ps(v, lo4);
            hi4 = _mm_max_ps(v, hi4);
        }
        alignas(16) float los[4];
        alignas(16) float his[4];
        _mm_store_ps(los, lo4);
        _mm_store_ps(his, hi4);
        for (int k = 0; k < 4; ++k) {
            low[k % kChannels] = los[k] < low[k % kChannels] ? los[k] : low[k % kChannels];
            high[k % kChannels] = his[k] > high[k % kChannels] ? his[k] : high[k % kChannels];
        }
        i = s / kChannels;
    }
#endif
    for (; i < frames; ++i) {
        for (int c = 0; c < kChannels; ++c) {
            const Value v = S::Load(p + i * kFrameBytes + c * S::kBytes);
            low[c] = v < low[c] ? v : low[c];
            high[c] = v > high[c] ? v : high[c];
        }
    }
    auto to16 = [](Value v) {
        if constexpr (S::kFloat)
            return PeakOfFloat(v);
        else
            return v >> 8;
    };
    for (int c = 0; c < kChannels; ++c) {
        lo[c] = std::min(lo[c], to16(low[c]));
        hi[c] = std::max(hi[c], to16(high[c]));
    }
}

} // namespace

void CPeakSummary::ScanWholeBlocks(SampleLayout layout, const quint8* data, std::size_t count,
                                   CPeak* peaks) {
#ifdef __SSE2__
    static_assert(sizeof(CPeak) == 8 && offsetof(CPeak, max) == 4);
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const bool byteShuffle = __builtin_cpu_supports("ssse3");
    auto* out = reinterpret_cast<quint8*>(peaks);
    if (avx2 ? ScanLayoutBlocksAvx2(layout, data, count, out)
             : ScanLayoutBlocks<16>(layout, data, count, out, byteShuffle))
        return;
#endif
    const quint64 blockBytes = BlockBytes(layout);
    for (std::size_t i = 0; i < count; ++i) {
        CPeak peak = kNoPeak;
        Scan(layout, data + i * blockBytes, data + (i + 1) * blockBytes, peak);
        peaks[i] = peak;
    }
}

void CPeakSummary::Scan(SampleLayout layout, const quint8* from, const quint8* to, CPeak& into) {
    int lo[2] = {into.min[0], into.min[1]};
    int hi[2] = {into.max[0], into.max[1]};
    wlpro::framecodec::WithLayout(layout, [&](auto l) {
        constexpr SampleLayout kLayout = decltype(l)::value;
        constexpr bool kStereo = LayoutIsStereo(kLayout);
        if constexpr (LayoutIsClassic(kLayout))
            ScanFrames<LayoutIs16Bit(kLayout), kStereo>(from, to, lo, hi);
        else
            ScanWide<LayoutDepth(kLayout), kStereo>(from, to, lo, hi);
    });
    // A mono sample answers for both channels.
    if (!LayoutIsStereo(layout)) {
        lo[1] = lo[0];
        hi[1] = hi[0];
    }
    for (int c = 0; c < 2; ++c) {
        into.min[c] = qint16(lo[c]);
        into.max[c] = qint16(hi[c]);
    }
}

void CPeakSummary::Merge(const std::vector<CPeak>& blocks, std::size_t first, std::size_t end,
                         CPeak& into) {
    // Kept in locals: `into` may alias the blocks as far as the compiler knows.
    int lo[2] = {into.min[0], into.min[1]};
    int hi[2] = {into.max[0], into.max[1]};
    for (std::size_t i = first; i < end; ++i) {
        for (int c = 0; c < 2; ++c) {
            lo[c] = std::min<int>(lo[c], blocks[i].min[c]);
            hi[c] = std::max<int>(hi[c], blocks[i].max[c]);
        }
    }
    for (int c = 0; c < 2; ++c) {
        into.min[c] = qint16(lo[c]);
        into.max[c] = qint16(hi[c]);
    }
}

void CPeakSummary::SummariseBlocks(const quint8* data, std::size_t first, std::size_t end) {
    ScanBlocks(data, first, end);
    SummariseParents(first, end);
}

void CPeakSummary::ScanBlocks(const quint8* data, std::size_t first, std::size_t end) {
    if (first >= end)
        return;
    const quint64 dataEnd = quint64(m_frameCount) * LayoutBytesPerFrame(m_layout);
    const quint64 blockBytes = BlockBytes(m_layout);
    // All but the last block of the sample are whole.
    const std::size_t whole = quint64(end) * blockBytes <= dataEnd ? end : end - 1;
    std::vector<CPeak>& blocks = m_levels[0];
    if (whole > first)
        ScanWholeBlocks(m_layout, data + first * blockBytes, whole - first, blocks.data() + first);
    if (whole < end) {
        CPeak peak = kNoPeak;
        Scan(m_layout, data + whole * blockBytes, data + dataEnd, peak);
        blocks[whole] = peak;
    }
}

void CPeakSummary::SummariseParents(std::size_t first, std::size_t end) {
    std::size_t level = 1;
    for (; m_levels[level - 1].size() > 1; ++level) {
        // A level the sample has just grown into; the changed range, which starts inside the old
        // top block and runs to the end, covers all of it.
        if (level == m_levels.size())
            m_levels.emplace_back();
        const std::vector<CPeak>& below = m_levels[level - 1];
        std::vector<CPeak>& here = m_levels[level];
        here.resize((below.size() + kFanOut - 1) / kFanOut);
        first /= kFanOut;
        end = (end + kFanOut - 1) / kFanOut;
        for (std::size_t j = first; j < end; ++j) {
            CPeak peak = kNoPeak;
            Merge(below, j * kFanOut, std::min((j + 1) * kFanOut, below.size()), peak);
            here[j] = peak;
        }
    }
    // Levels above one that has a single block would only repeat it.
    m_levels.resize(level);
}

void CPeakSummary::Build(const CSampleBuffer& buffer) {
    m_fedData = nullptr;
    m_layout = buffer.GetLayout();
    m_blockFrames = kBlockBytes / LayoutBytesPerFrame(m_layout);
    m_frameCount = buffer.HasData() ? buffer.GetFrameCount() : 0;
    const std::size_t blocks = (quint64(m_frameCount) + m_blockFrames - 1) / m_blockFrames;
    m_levels.clear();
    m_levels.emplace_back(blocks);
    SummariseBlocks(buffer.GetData(), 0, blocks);
}

void CPeakSummary::Update(const CSampleBuffer& buffer, quint32 first, quint32 last) {
    if (m_blockFrames == 0 || buffer.GetLayout() != m_layout || !buffer.HasData()) {
        Build(buffer);
        return;
    }
    const quint32 frames = buffer.GetFrameCount();
    quint64 end = std::min(quint64(last) + 1, quint64(frames));
    if (frames != m_frameCount) {
        // Every frame from the edit on has moved, and the last block changed its extent, whatever
        // range the caller names.
        first = std::min(first, frames);
        end = frames;
    } else if (first >= end) {
        return;
    }
    m_frameCount = frames;
    const std::size_t blocks = (quint64(frames) + m_blockFrames - 1) / m_blockFrames;
    m_levels[0].resize(blocks);
    const std::size_t endBlock = (end + m_blockFrames - 1) / m_blockFrames;
    SummariseBlocks(buffer.GetData(), first / m_blockFrames, endBlock);
}

void CPeakSummary::Clear() {
    m_levels.clear();
    m_blockFrames = 0;
    m_frameCount = 0;
    m_layout = SampleLayout::Mono8;
    m_fedData = nullptr;
}

void CPeakSummary::BeginFeed() {
    Clear();
    m_levels.emplace_back();
}

void CPeakSummary::Feed(const quint8* data, SampleLayout layout, quint64 bytes,
                        quint64 totalBytes) {
    if (m_levels.empty() || data != m_fedData || layout != m_layout) {
        // New data, or the reader started over: what was fed belongs to other bytes.
        m_levels.assign(1, {});
        m_fedData = data;
        m_layout = layout;
    }
    // Only whole blocks: the last one's extent waits for the sample's length.
    std::vector<CPeak>& blocks = m_levels[0];
    const std::size_t fed = blocks.size();
    const std::size_t whole = std::size_t(bytes / BlockBytes(layout));
    // Room for the whole sample at once: growing it piece by piece costs more than the scan.
    if (fed == 0)
        blocks.reserve(std::size_t((totalBytes + BlockBytes(layout) - 1) / BlockBytes(layout)));
    if (whole <= fed)
        return;
    blocks.resize(whole);
    ScanWholeBlocks(layout, data + fed * BlockBytes(layout), whole - fed, blocks.data() + fed);
}

void CPeakSummary::FinishFeed(const CSampleBuffer& buffer) {
    const std::size_t fed = m_levels.empty() ? 0 : m_levels[0].size();
    if (!buffer.HasData() || buffer.GetData() != m_fedData || buffer.GetLayout() != m_layout ||
        quint64(fed) * BlockBytes(m_layout) > buffer.GetByteLength()) {
        Build(buffer);
        return;
    }
    m_blockFrames = kBlockBytes / LayoutBytesPerFrame(m_layout);
    m_frameCount = buffer.GetFrameCount();
    const std::size_t blocks = (quint64(m_frameCount) + m_blockFrames - 1) / m_blockFrames;
    m_levels.resize(1);
    m_levels[0].resize(blocks);
    // Feed grew the level by doubling; keep it at Build's size.
    m_levels[0].shrink_to_fit();
    ScanBlocks(buffer.GetData(), fed, blocks);
    SummariseParents(0, blocks);
    m_fedData = nullptr;
}

bool CPeakSummary::operator==(const CPeakSummary& other) const {
    return m_levels == other.m_levels && m_blockFrames == other.m_blockFrames &&
           m_frameCount == other.m_frameCount && m_layout == other.m_layout;
}

bool CPeakSummary::Range(const CSampleBuffer& buffer, quint32 first, quint32 count, int channel,
                         qint16& min, qint16& max) const {
    const quint64 frames = m_frameCount;
    const quint64 end = std::min(quint64(first) + count, frames);
    if (first >= end || buffer.GetFrameCount() != m_frameCount || buffer.GetLayout() != m_layout ||
        !buffer.HasData())
        return false;

    // Whole level-0 blocks lo..hi-1 from the summary; the frames before and after them directly.
    const quint8* data = buffer.GetData();
    const quint64 frameBytes = LayoutBytesPerFrame(m_layout);
    CPeak peak = kNoPeak;
    quint64 lo = (first + quint64(m_blockFrames) - 1) / m_blockFrames;
    quint64 hi = end == frames ? m_levels[0].size() : end / m_blockFrames;
    if (lo >= hi) {
        Scan(m_layout, data + first * frameBytes, data + end * frameBytes, peak);
    } else {
        Scan(m_layout, data + first * frameBytes, data + lo * m_blockFrames * frameBytes, peak);
        const quint64 tail = std::min(hi * m_blockFrames, end);
        Scan(m_layout, data + tail * frameBytes, data + end * frameBytes, peak);
        // Climb while the range still holds whole parents: fewer than 16 blocks at each end of
        // each level, so the cost stays bounded however many frames the range spans.
        for (std::size_t level = 0;; ++level) {
            const std::vector<CPeak>& blocks = m_levels[level];
            // The last parent may have fewer children: it is whole when the range reaches the end.
            const quint64 up = (lo + kFanOut - 1) / kFanOut;
            const quint64 down = hi == blocks.size() ? (hi + kFanOut - 1) / kFanOut : hi / kFanOut;
            if (level + 1 == m_levels.size() || up >= down) {
                Merge(blocks, lo, hi, peak);
                break;
            }
            Merge(blocks, lo, up * kFanOut, peak);
            Merge(blocks, std::min<quint64>(down * kFanOut, hi), hi, peak);
            lo = up;
            hi = down;
        }
    }
    const int c = channel == 1 ? 1 : 0;
    min = peak.min[c];
    max = peak.max[c];
    return true;
}

quint64 CPeakSummary::MemoryBytes() const {
    quint64 bytes = m_levels.capacity() * sizeof(std::vector<CPeak>);
    for (const std::vector<CPeak>& level : m_levels)
        bytes += level.capacity() * sizeof(CPeak);
    return bytes;
}
