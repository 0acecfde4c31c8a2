#include "stages/marker_record.h"

#include <QFile>

namespace qelvrin {

bool writeMarkerRecord(const QString& nativePath, const QString& text)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray record = '"' + text.toLatin1() + "\"\r\n";
    const bool written = file.write(record) == record.size() && file.flush();
    file.close();
    return written;
}

} // namespace qelvrin
