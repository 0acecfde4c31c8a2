#pragma once

namespace qelvrin::interrupt {

// The operator's Ctrl-C or a scheduler's SIGTERM, as the signal handler
// records it. A long read on the event-loop thread keeps that loop from
// hearing the handler's wake-up, so reads look at this flag themselves.
// request() is async-signal-safe.
void request() noexcept;
bool requested() noexcept;

} // namespace qelvrin::interrupt
