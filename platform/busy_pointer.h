#pragma once

namespace qelvrin {

// The application-wide hourglass. Calls nest: each true needs its false.
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
