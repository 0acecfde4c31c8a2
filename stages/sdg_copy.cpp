#include "stages/sdg_copy.h"

#include "platform/file_ops.h"
#include "platform/line_reader.h"

#include <QDir>
#include <QFile>

namespace qelvrin {

namespace {

// Lines are gathered and written in blocks of about this size.
constexpr qsizetype kBlock = 1 << 20;

SdgCopyFailure writeFailure(const QFile& data)
{
    return {data.fileName(), true, data.errorString()};
}

} // namespace

std::optional<SdgCopyFailure> copySdgFiles(const QString& sdgDirectory, const QString& pattern,
                                           const QString& dataFilePath, bool truncate)
{
    // Unbuffered, with blocks of our own: Qt's buffer loses the reason when
    // the disk fills part-way through one of its writes.
    QFile data(dataFilePath);
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered | (truncate ? QIODevice::Truncate : QIODevice::Append);
    if (!data.open(mode))
        return writeFailure(data);

    const QDir dir(sdgDirectory);
    const QByteArray dirBytes = QFile::encodeName(dir.path()) + '/';
    QByteArray block;
    block.reserve(kBlock + 4096);
    for (const files::EntryName& name : files::listMatching(dir.path(), pattern)) {
        // Opened by its bytes, so a name written under a DOS code page is
        // read like any other.
        LineReader reader(dirBytes + name.bytes);
        if (!reader.isOpen())
            return SdgCopyFailure{dir.filePath(name.text), false, reader.errorString()};
        while (const std::optional<QByteArrayView> line = reader.next()) {
            block.append(*line).append("\r\n");
            if (block.size() >= kBlock) {
                if (!files::writeAll(data, block))
                    return writeFailure(data);
                block.clear();
            }
        }
        if (reader.readFailed())
            return SdgCopyFailure{dir.filePath(name.text), false, reader.errorString()};
    }
    if (!files::writeAll(data, block))
        return writeFailure(data);
    data.close();
    if (data.error() != QFileDevice::NoError)
        return writeFailure(data);
    return std::nullopt;
}

} // namespace qelvrin
