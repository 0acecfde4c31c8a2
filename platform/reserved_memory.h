#pragma once

#include <cstddef>

namespace qelvrin {

// One anonymous mapping that reserves address space without committing
// memory: pages become resident only when first written. Growing within the
// reservation never moves the data; beyond it the mapping is remapped, so
// callers keep offsets, not pointers, across grow().
class ReservedMemory {
public:
    ReservedMemory() = default;
    ~ReservedMemory();
    ReservedMemory(const ReservedMemory&) = delete;
    ReservedMemory& operator=(const ReservedMemory&) = delete;

    // Drops any previous mapping and reserves `bytes` of address space.
    // Throws std::bad_alloc when the system refuses.
    void reserve(std::size_t bytes);
    // Makes at least `bytes` usable. Throws std::bad_alloc when it cannot.
    void grow(std::size_t bytes);
    void release();

    char* data() const { return m_base; }
    std::size_t capacity() const { return m_reserved; }

private:
    char* m_base = nullptr;
    std::size_t m_reserved = 0;
};

} // namespace qelvrin
