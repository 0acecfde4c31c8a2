#include "stages/sdg_copy.h"

#include "platform/file_ops.h"
#include "platform/line_reader.h"

#include <QDir>
#include <QFile>

namespace qelvrin {

namespace {

SdgCopyFailure writeFailure(const QFile& data)
{
    return {data.fileName(), true, data.errorString()};
}

} // namespace

std::optional<SdgCopyFailure> copySdgFiles(const QString& sdgDirectory, const QString& pattern,
                                           const QString& dataFilePath, bool truncate)
{
    QFile data(dataFilePath);
    const QIODevice::OpenMode mode = truncate ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::WriteOnly | QIODevice::Append;
    if (!data.open(mode))
        return writeFailure(data);

    const QDir dir(sdgDirectory);
    const QByteArrayView lineEnd("\r\n");
    for (const QString& name : files::listMatching(dir.path(), pattern)) {
        LineReader reader(dir.filePath(name));
        if (!reader.isOpen())
            return SdgCopyFailure{dir.filePath(name), false, reader.errorString()};
        while (const std::optional<QByteArrayView> line = reader.next()) {
            if (data.write(line->data(), line->size()) != line->size() || data.write(lineEnd.data(), lineEnd.size()) != lineEnd.size())
                return writeFailure(data);
        }
        if (reader.readFailed())
            return SdgCopyFailure{dir.filePath(name), false, reader.errorString()};
        // A full disk shows only when the buffered lines reach it.
        if (!data.flush())
            return writeFailure(data);
    }
    data.close();
    if (data.error() != QFileDevice::NoError)
        return writeFailure(data);
    return std::nullopt;
}

} // namespace qelvrin
