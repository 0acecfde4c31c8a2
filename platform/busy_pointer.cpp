#include "platform/busy_pointer.h"

#include <QApplication>
#include <QCursor>

namespace qelvrin {

void setBusyPointer(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

} // namespace qelvrin
