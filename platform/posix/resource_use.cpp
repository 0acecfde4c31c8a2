#include "platform/resource_use.h"

#include <sys/resource.h>

namespace qelvrin {

ResourceUse ownResourceUse()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto secondsOf = [](const timeval& time) { return double(time.tv_sec) + double(time.tv_usec) / 1e6; };
    return {qint64(usage.ru_maxrss), secondsOf(usage.ru_utime), secondsOf(usage.ru_stime)};
}

} // namespace qelvrin
