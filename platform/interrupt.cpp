#include "platform/interrupt.h"

#include <atomic>

namespace qelvrin::interrupt {

namespace {

// Only a lock-free atomic may be touched from a signal handler.
static_assert(std::atomic<bool>::is_always_lock_free);
std::atomic<bool> g_requested{false};

} // namespace

void request() noexcept
{
    g_requested.store(true, std::memory_order_relaxed);
}

bool requested() noexcept
{
    return g_requested.load(std::memory_order_relaxed);
}

void clear() noexcept
{
    g_requested.store(false, std::memory_order_relaxed);
}

} // namespace qelvrin::interrupt
