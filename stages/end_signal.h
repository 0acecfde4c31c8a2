#pragma once

#include <QString>

#include <optional>

namespace qelvrin {

class DriveMap;

// The stage's end signal \QELVRIN\SIGNAL.TXT, a plain file whose name is
// compared without regard to case.
bool endSignalPresent(const DriveMap& drives);

// An end signal that would not go, by its native path, and why.
struct EndSignalLeft {
    QString nativePath;
    QString reason;
};

// Removes every spelling of it, links that lead nowhere included, so a
// leftover cannot end the next stage at its first tick; what stays is named.
std::optional<EndSignalLeft> removeEndSignal(const DriveMap& drives);

} // namespace qelvrin
