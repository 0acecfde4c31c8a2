#pragma once

#include <QIcon>
#include <QPixmap>

namespace qelvrin {

// Our own artwork: a flask on a shield, drawn in code so it scales cleanly.
QPixmap drawEmblem(int size);
// The 32 x 32 window icon of the main window and the About window.
QIcon applicationIcon();

} // namespace qelvrin
