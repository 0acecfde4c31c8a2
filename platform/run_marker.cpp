#include "platform/run_marker.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "platform/line_reader.h"
#include "platform/regular_open.h"

#include <QFile>

namespace qelvrin::marker {

QString nativePath(const DriveMap& drives)
{
    return drives.toNativeNoCase(kMarkerPath);
}

bool write(const QString& nativePath, const QString& text, QString* error)
{
    QString reason;
    QFile file;
    if (!files::openRegularForWriting(file, QFile::encodeName(nativePath), true, &reason)) {
        if (error)
            *error = reason;
        return false;
    }
    const QByteArray record = '"' + text.toLatin1() + "\"\r\n";
    const bool written = files::writeAll(file, record);
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray firstField(QByteArrayView line)
{
    qsizetype at = 0;
    while (at < line.size() && line.at(at) == ' ')
        ++at;
    const QByteArrayView rest = line.sliced(at);
    if (rest.startsWith('"')) {
        const QByteArrayView quoted = rest.sliced(1);
        const qsizetype close = quoted.indexOf('"');
        return (close < 0 ? quoted : quoted.first(close)).toByteArray();
    }
    const qsizetype comma = rest.indexOf(',');
    return (comma < 0 ? rest : rest.first(comma)).toByteArray();
}

QByteArray readValue(const QString& nativePath, QString* error)
{
    LineReader reader(nativePath, kLineCap);
    const std::optional<QByteArrayView> line = reader.next();
    if (!reader.isOpen() || reader.readFailed()) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    return line ? firstField(*line) : QByteArray();
}

bool holdsNormal(const QString& nativePath)
{
    return readValue(nativePath) == kNormal;
}

} // namespace qelvrin::marker
