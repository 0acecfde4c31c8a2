#pragma once

#include <QString>

namespace qelvrin {

// The file the viewer shows, as search and printing read it again: the name
// the operator knows it by (for messages) and where it is on this system.
struct ViewedFile {
    QString shownName;
    QString nativePath;
};

} // namespace qelvrin
