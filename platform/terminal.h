#pragma once

#include <cstdio>

namespace qelvrin {

// Whether the stream goes to a terminal, where a progress line can redraw
// itself.
bool isTerminal(std::FILE* stream);

} // namespace qelvrin
