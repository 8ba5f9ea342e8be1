#pragma once
// CPeakSummary: the minimum and maximum of each channel per block of frames, on several levels,
// so that a strip drawn at any scale finds the extremes of a pixel column's N frames in a cost
// that does not grow with N: whole blocks come from the coarsest level that fits, only the frames
// at a column's two ends are read from the sample itself.
//
// Values are signed 16-bit, whatever the sample's layout: a 16-bit sample as it is stored, an
// 8-bit one as (byte - 128) * 256, a 24-bit one as its high 16 bits, a float one as value x 32768
// rounded down and clipped. A mono sample answers the same values for both channels.
//
// A block of level 0 holds the whole frames of 1024 bytes of data (256 frames of 16-bit stereo,
// 1024 of 8-bit mono, 341 of 24-bit mono); each further level summarises 16 blocks of the one
// below. The summary takes under 1% of the sample's bytes.
//
// The summary does not watch its sample: whoever changes the data calls Update for the frames
// the change rewrote (an edit that changes the length rewrites everything from its first frame
// to the end), or Build after the sample was replaced.

#include "core/samplebuffer.h"

#include <QtGlobal>

#include <cstddef>
#include <vector>

class CPeakSummary {
public:
    // Summarises the whole sample (an empty sample leaves an empty summary).
    void Build(const CSampleBuffer& buffer);
    // Summarises again the blocks that hold frames first..last (inclusive; last past the end
    // means to the end) and fits the summary to the sample's current length and layout.
    void Update(const CSampleBuffer& buffer, quint32 first, quint32 last);
    void Clear();

    // Building while a sample is read, so that its bytes are summarised while still in the cache:
    // BeginFeed before the reader fills the buffer; Feed each time the data's first `bytes` bytes
    // (in `layout`) of the `totalBytes` it will hold are in place; FinishFeed once the buffer holds
    // the sample. The summary is then
    // the one Build would make: FinishFeed summarises what Feed did not, and builds from scratch
    // when the data or its layout is not what was fed.
    void BeginFeed();
    void Feed(const quint8* data, SampleLayout layout, quint64 bytes, quint64 totalBytes);
    void FinishFeed(const CSampleBuffer& buffer);

    // Same blocks on every level, for the same length and layout.
    bool operator==(const CPeakSummary& other) const;

    // Minimum and maximum of `channel` (0 left or only, 1 right) over the frames
    // first..first+count-1 of `buffer`, which must be the sample the summary was built from.
    // False, leaving min and max alone, when the range holds no frame or the summary no longer
    // fits the sample's length and layout (an edit without its Update).
    bool Range(const CSampleBuffer& buffer, quint32 first, quint32 count, int channel, qint16& min,
               qint16& max) const;

    // Frames per level-0 block for the summarised layout; 0 before the first Build.
    quint32 BlockFrames() const { return m_blockFrames; }
    // Bytes the summary holds.
    quint64 MemoryBytes() const;

private:
    // Extremes of one block: min and max for the left (or only) and the right channel.
    struct CPeak {
        qint16 min[2];
        qint16 max[2];
        bool operator==(const CPeak& o) const {
            return min[0] == o.min[0] && min[1] == o.min[1] && max[0] == o.max[0] &&
                   max[1] == o.max[1];
        }
    };
    // Extremes that any value replaces, to start a merge from.
    static constexpr CPeak kNoPeak{{32767, 32767}, {-32768, -32768}};

    // Widens `into` by the frames of `layout` stored in bytes from..to-1, read directly.
    static void Scan(SampleLayout layout, const quint8* from, const quint8* to, CPeak& into);
    // Summarises `count` whole level-0 blocks of `layout` from `data` into `peaks`.
    static void ScanWholeBlocks(SampleLayout layout, const quint8* data, std::size_t count,
                                CPeak* peaks);
    // Widens `into` by blocks first..end-1 of one level.
    static void Merge(const std::vector<CPeak>& blocks, std::size_t first, std::size_t end,
                      CPeak& into);
    // Summarises level-0 blocks first..end-1 from the data, then their parents on every level
    // above, adding or dropping levels to fit the number of blocks below.
    void SummariseBlocks(const quint8* data, std::size_t first, std::size_t end);
    // The level-0 half of SummariseBlocks, and the levels above for blocks first..end-1.
    void ScanBlocks(const quint8* data, std::size_t first, std::size_t end);
    void SummariseParents(std::size_t first, std::size_t end);

    std::vector<std::vector<CPeak>> m_levels;
    quint32 m_blockFrames = 0;
    quint32 m_frameCount = 0;
    SampleLayout m_layout = SampleLayout::Mono8;
    // The data Feed summarised the first blocks of; null when nothing was fed.
    const quint8* m_fedData = nullptr;
};
