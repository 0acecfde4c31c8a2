#pragma once

namespace qelvrin {

class DriveMap;

// The stage's end signal \QELVRIN\SIGNAL.TXT, a plain file whose name is
// compared without regard to case.
bool endSignalPresent(const DriveMap& drives);
// Removes every spelling of it, so a leftover cannot end the next stage at
// its first tick.
void removeEndSignal(const DriveMap& drives);

} // namespace qelvrin
