#pragma once

#include "dialogs/dialogs.h"

namespace qelvrin {

class Global;

// The face used when the settings file gives none.
inline constexpr char DefaultViewFontName[] = "Courier New";
inline constexpr float DefaultViewFontSize = 10.0f;

// The sizes a page can be drawn in: 1 to 1638 points, the largest size a
// signed 16-bit count of twips holds (32767). Its line is already taller
// than a screen; at 5000 points the page shows blank, and near 20,000 the
// font metrics overflow. NaN and infinities are outside too.
inline bool isDrawableFontSize(float points)
{
    return points >= 1.0f && points <= 1638.0f;
}

// The viewer's font from the four font keys. A missing or unreadable
// settings file, a missing key, a value that cannot be understood, or a size
// that cannot be drawn gives that part of the default font (Courier New, 10
// points, regular). The file itself is left as it is.
FontChoice readViewFont(const Global& settings);

} // namespace qelvrin
