#include "platform/signal_process.h"

#include <signal.h>

namespace qelvrin {

void sendInterrupt(qint64 pid)
{
    if (pid > 0)
        ::kill(pid_t(pid), SIGINT);
}

} // namespace qelvrin
