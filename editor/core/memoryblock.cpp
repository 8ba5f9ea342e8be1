#include "core/memoryblock.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {
// malloc(0) may give a null pointer; an empty sample still owns a block.
std::size_t AtLeastOne(std::size_t size) {
    return size == 0 ? 1 : size;
}

// Large samples are backed by huge pages where the system allows it: filling a fresh 100 MB
// block then takes a few hundred page faults instead of tens of thousands.
void PreferHugePages(std::uint8_t* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    if (size < 2 * kHuge)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (start + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t end = (start + size) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}
} // namespace

CMemoryBlock::~CMemoryBlock() {
    Free();
}

CMemoryBlock::CMemoryBlock(CMemoryBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}

CMemoryBlock& CMemoryBlock::operator=(CMemoryBlock&& other) noexcept {
    if (this != &other) {
        Free();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

bool CMemoryBlock::Allocate(std::size_t size) {
    Free();
    m_data = static_cast<std::uint8_t*>(std::malloc(AtLeastOne(size)));
    if (!m_data)
        return false;
    m_size = size;
    PreferHugePages(m_data, size);
    return true;
}

bool CMemoryBlock::Resize(std::size_t size) {
    if (!m_data)
        return Allocate(size);
    auto* moved = static_cast<std::uint8_t*>(std::realloc(m_data, AtLeastOne(size)));
    if (!moved)
        return false;
    m_data = moved;
    m_size = size;
    PreferHugePages(m_data, size);
    return true;
}

void CMemoryBlock::Free() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
}
