#pragma once

#include <QString>

namespace qelvrin {

// The texts of the two Help windows, composed afresh for every showing.
// Lines are joined with a single LF, with no LF after the last line.
QString composeAboutText();
QString composeTechSupportText();

} // namespace qelvrin
