#include "core/memoryblock.h"

#include <cstdlib>
#include <utility>

namespace {
// malloc(0) may give a null pointer; an empty sample still owns a block.
std::size_t AtLeastOne(std::size_t size) {
    return size == 0 ? 1 : size;
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
    return true;
}

void CMemoryBlock::Free() {
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
}
