#pragma once

#include <QtGlobal>

namespace qelvrin {

// SIGINT to one process, as Ctrl-C would send it; nothing for pid 0.
void sendInterrupt(qint64 pid);

} // namespace qelvrin
