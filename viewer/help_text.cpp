#include "viewer/help_text.h"

#include <QStringList>

namespace qelvrin {

QString viewerHelpText()
{
    const QStringList lines{
        QStringLiteral("The print and view fonts is always the same."),
        QString(),
        QStringLiteral("The Defect Report is 133 characters long, so you may"),
        QStringLiteral("want to use the LANDSCAPE option in Printer Setup."),
        QString(),
        QStringLiteral("The search command will scroll down to next occurance of the string, after the first line in the "
                       "window.  It will not highlight the string."),
    };
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace qelvrin
