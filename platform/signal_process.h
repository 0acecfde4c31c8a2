#pragma once

#include <QtGlobal>

namespace qelvrin {

// Passes a termination signal that this process received on to a child
// that runs in its process group, as SIGINT. Ctrl-C reaches the whole group
// already and is not sent twice; a SIGTERM or SIGHUP meant for this process
// alone is. Nothing for pid 0.
void passOnTermination(qint64 pid, int signalNumber);

} // namespace qelvrin
