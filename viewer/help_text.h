#pragma once

#include <QString>

namespace qelvrin {

// The viewer's help: six lines, each ending in CR LF.
QString viewerHelpText();

} // namespace qelvrin
