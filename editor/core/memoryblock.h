#pragma once
// The one movable block that holds a sample's data. Growing or shrinking keeps the bytes that
// fit and may move the block; new bytes are not initialised (the callers overwrite them), so
// loading a large file costs one pass over its bytes, not two.

#include <cstddef>
#include <cstdint>

class CMemoryBlock {
public:
    CMemoryBlock() = default;
    ~CMemoryBlock();
    CMemoryBlock(const CMemoryBlock&) = delete;
    CMemoryBlock& operator=(const CMemoryBlock&) = delete;
    CMemoryBlock(CMemoryBlock&& other) noexcept;
    CMemoryBlock& operator=(CMemoryBlock&& other) noexcept;

    // Replaces the block by a new one of `size` bytes; false (and no block) when memory is short.
    bool Allocate(std::size_t size);
    // Keeps the first min(old, new) bytes. On failure the old block stays as it was.
    bool Resize(std::size_t size);
    void Free();

    bool IsAllocated() const { return m_data != nullptr; }
    std::uint8_t* Data() { return m_data; }
    const std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

private:
    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};
