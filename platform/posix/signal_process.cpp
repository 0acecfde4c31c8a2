#include "platform/signal_process.h"

#include <signal.h>

namespace qelvrin {

void passOnTermination(qint64 pid, int signalNumber)
{
    if (pid > 0 && signalNumber != SIGINT)
        ::kill(pid_t(pid), SIGINT);
}

} // namespace qelvrin
