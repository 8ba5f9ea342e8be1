// The block loops of the peak summary compiled for AVX2: 32-byte vectors in single instructions.
// This file alone is built with -mavx2; the summary calls it only on processors that have it.

#include "core/peakblocks.h"

#ifdef __SSE2__
namespace wlpro::peakblocks {

bool ScanLayoutBlocksAvx2(SampleLayout layout, const quint8* data, std::size_t count,
                          quint8* peaks) {
    return ScanLayoutBlocks<32>(layout, data, count, peaks, true);
}

} // namespace wlpro::peakblocks
#endif
