#pragma once

namespace qelvrin::interrupt {

// The operator's Ctrl-C or a scheduler's SIGTERM, as the signal handler
// records it. A long read on the event-loop thread keeps that loop from
// hearing the handler's wake-up, so reads look at this flag themselves.
// request() is async-signal-safe.
void request() noexcept;
bool requested() noexcept;

// Forgets a request once nothing handles the signals any more: a request
// belongs to the handler that heard it (a test builds one window after another).
void clear() noexcept;

} // namespace qelvrin::interrupt
