#pragma once

#include "platform/dialogs.h"

namespace qelvrin {

class Global;

// The face used when the settings file gives none.
inline constexpr char DefaultViewFontName[] = "Courier New";
inline constexpr float DefaultViewFontSize = 10.0f;

// The viewer's font from the four font keys. A missing or unreadable
// settings file, a missing key, or a value that cannot be understood gives
// that part of the default font (Courier New, 10 points, regular).
FontChoice readViewFont(const Global& settings);

} // namespace qelvrin
