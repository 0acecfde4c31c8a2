#pragma once

namespace qelvrin {

// The application-wide pointer, one setting as on the original platform:
// true shows the hourglass, false gives back the normal pointer, however
// often the hourglass was asked for before.
void setBusyPointer(bool busy);

// Hourglass for the life of the object, restored however the scope ends.
class BusyPointer {
public:
    BusyPointer() { setBusyPointer(true); }
    ~BusyPointer() { setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace qelvrin
