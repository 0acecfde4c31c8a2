#include "platform/reserved_memory.h"

#include <algorithm>
#include <new>

#include <sys/mman.h>

namespace qelvrin {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::size_t roundUp(std::size_t bytes)
{
    return std::max(kHugePage, (bytes + kHugePage - 1) / kHugePage * kHugePage);
}

// Large sequentially written stores fault in far fewer, larger pages.
void preferHugePages(char* base, std::size_t bytes)
{
    ::madvise(base, bytes, MADV_HUGEPAGE);
}

} // namespace

ReservedMemory::~ReservedMemory()
{
    release();
}

void ReservedMemory::release()
{
    if (m_base)
        ::munmap(m_base, m_reserved);
    m_base = nullptr;
    m_reserved = 0;
}

void ReservedMemory::reserve(std::size_t bytes)
{
    release();
    const std::size_t size = roundUp(bytes);
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED)
        throw std::bad_alloc();
    m_base = static_cast<char*>(base);
    m_reserved = size;
    preferHugePages(m_base, m_reserved);
}

void ReservedMemory::grow(std::size_t bytes)
{
    if (bytes <= m_reserved)
        return;
    if (!m_base) {
        reserve(bytes);
        return;
    }
    const std::size_t size = roundUp(std::max(bytes, m_reserved * 2));
    void* base = ::mremap(m_base, m_reserved, size, MREMAP_MAYMOVE);
    if (base == MAP_FAILED)
        throw std::bad_alloc();
    m_base = static_cast<char*>(base);
    m_reserved = size;
    preferHugePages(m_base, m_reserved);
}

} // namespace qelvrin
