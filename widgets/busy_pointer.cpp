#include "widgets/busy_pointer.h"

#include <QApplication>
#include <QCursor>

namespace qelvrin {

void setBusyPointer(bool busy)
{
    // Qt keeps a stack of override cursors; this setting is one value, so
    // the stack holds one hourglass at most and is emptied to restore.
    if (busy) {
        if (QApplication::overrideCursor())
            QApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return;
    }
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace qelvrin
