#include "stages/sdg_copy.h"

#include "platform/file_ops.h"
#include "platform/line_reader.h"
#include "platform/regular_open.h"

#include <QDir>
#include <QFile>

namespace qelvrin {

namespace {

// Lines are gathered and written in blocks of about this size.
constexpr qsizetype kBlock = 1 << 20;

SdgCopyFailure writeFailure(const QString& dataFilePath, const QFile& data)
{
    return {dataFilePath, true, data.errorString()};
}

} // namespace

std::optional<SdgCopyFailure> copySdgFiles(const QString& sdgDirectory, const QString& pattern,
                                           const QString& dataFilePath, bool truncate)
{
    // Unbuffered, with blocks of our own: Qt's buffer loses the reason when
    // the disk fills part-way through one of its writes.
    QFile data;
    QString error;
    if (!files::openForWriting(data, dataFilePath, !truncate, &error))
        return SdgCopyFailure{dataFilePath, true, error};

    const QDir dir(sdgDirectory);
    // A folder that cannot be listed would otherwise pass as one without
    // the SDG's files, and the stage would run on an empty data file.
    const QList<files::EntryName> names = files::listMatching(dir.path(), pattern, &error);
    if (!error.isEmpty())
        return SdgCopyFailure{dir.path(), false, error};
    const QByteArray dirBytes = QFile::encodeName(dir.path()) + '/';
    QByteArray block;
    block.reserve(kBlock + 4096);
    for (const files::EntryName& name : names) {
        // Opened by its bytes, so a name written under a DOS code page is
        // read like any other.
        LineReader reader(dirBytes + name.bytes, 1 << 20, files::Links::SameOwnerOnly);
        if (!reader.isOpen())
            return SdgCopyFailure{dir.filePath(name.text), false, reader.errorString()};
        // Piece by piece: a line as long as the file costs no more memory
        // than a short one.
        while (const std::optional<LineReader::Piece> piece = reader.nextPiece()) {
            block.append(piece->bytes);
            if (piece->lineEnds)
                block.append("\r\n");
            if (block.size() >= kBlock) {
                if (!files::writeAll(data, block))
                    return writeFailure(dataFilePath, data);
                block.clear();
            }
        }
        if (reader.readFailed())
            return SdgCopyFailure{dir.filePath(name.text), false, reader.errorString(), reader.interrupted()};
    }
    if (!files::writeAll(data, block))
        return writeFailure(dataFilePath, data);
    data.close();
    if (data.error() != QFileDevice::NoError)
        return writeFailure(dataFilePath, data);
    return std::nullopt;
}

} // namespace qelvrin
