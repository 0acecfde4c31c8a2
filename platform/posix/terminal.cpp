#include "platform/terminal.h"

#include <unistd.h>

namespace qelvrin {

bool isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

} // namespace qelvrin
