#pragma once

#include <QString>

namespace qelvrin {

// What the viewer's search remembers between searches; it lives with the
// launcher, so it outlives the viewer window.
struct SearchState {
    QString SearchText;
    bool SearchAgain = false;
};

} // namespace qelvrin
