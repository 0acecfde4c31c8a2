#pragma once

#include <QList>

#include <functional>

namespace qelvrin {
class ViewFile;
}

namespace qelvrin::bench {

// A part of the bench that may wait for the viewer: it calls `done` when it
// has ended, from the application's event loop.
using Step = std::function<void(const std::function<void()>& done)>;

// Runs the steps one after the other, then `done`.
void runSteps(QList<Step> steps, const std::function<void()>& done);

// Runs `then` from the event loop once `window` has no long read in flight:
// at once when it has none or is gone.
void afterReading(ViewFile* window, const std::function<void()>& then);

} // namespace qelvrin::bench
