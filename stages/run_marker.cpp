#include "stages/run_marker.h"

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
    // A link of its name is replaced, never written through; a marker that
    // is there keeps its owner and permissions.
    QFile file;
    if (!files::openForWriting(file, nativePath, false, error))
        return false;
    if (!files::writeAll(file, '"' + text.toLatin1() + "\"\r\n")) {
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
    if (!reader.isOpen()) {
        if (error && files::entryExists(nativePath))
            *error = reader.errorString();
        return {};
    }
    const std::optional<QByteArrayView> line = reader.next();
    if (!line) {
        if (error && reader.readFailed())
            *error = reader.errorString();
        return {};
    }
    return firstField(*line);
}

bool holdsNormal(const QString& nativePath, QString* error)
{
    return readValue(nativePath, error) == kNormal;
}

} // namespace qelvrin::marker
