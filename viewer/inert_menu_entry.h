#pragma once

class QAction;

namespace qelvrin {

// A menu-bar entry that stays in its place and does nothing. Assistive
// technology sees it as a separator, with no action to offer.
void markInertMenuEntry(QAction* entry);

} // namespace qelvrin
