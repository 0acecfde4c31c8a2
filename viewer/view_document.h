#pragma once

#include "viewer/reserved_memory.h"

#include <QByteArrayView>
#include <QString>

namespace qelvrin {

// The viewer's copy of a file: the text in blocks of BlockSize characters
// (bytes), each block's last position always blank, and a line index giving
// the block and position where each line starts. Blocks and positions are
// numbered from 1. The blocks lie back to back in one reservation, so a page
// that runs into the next block is one contiguous piece of memory.
class ViewDocument {
public:
    static constexpr qint64 BlockSize = 30000;
    static constexpr qint64 NextBlockThreshold = 20000;
    static constexpr qint64 NextBlockSpan = 10000;
    static constexpr char EndOfFileMark[] = "\r\n-------- End of File --------";
    static constexpr qint64 EndOfFileMarkLength = sizeof(EndOfFileMark) - 1;

    ViewDocument() = default;
    ViewDocument(const ViewDocument&) = delete;
    ViewDocument& operator=(const ViewDocument&) = delete;

    // Reads the whole file. On failure the document is left empty and
    // `error` (when given) holds the reason.
    bool load(const QString& nativePath, QString* error = nullptr);
    void clear();

    qint64 BlockCount() const { return m_blockCount; }
    qint64 LineCount() const { return m_lineCount; }
    // Entries of the line index, for lines 1 to LineCount.
    qint64 LineBlock(qint64 line) const;
    qint64 LineStart(qint64 line) const;
    // Block 1 to BlockCount, all BlockSize characters of it.
    QByteArrayView TextBlock(qint64 block) const;

    // What the view shows when line v is its first line: from the line's
    // start to the end of its block, and when the line starts beyond
    // NextBlockThreshold in a block that is not the last, NextBlockSpan more
    // characters of the next. A v of 0 (or out of range) draws line 1.
    QByteArrayView viewText(qint64 v) const;
    // The same, decoded as Latin-1 so every byte survives.
    QString viewString(qint64 v) const;

private:
    class Loader;

    void finishBlocks(qint64 fileLength, qint64 textLength);
    void ensureBlocks(qint64 count);

    ReservedMemory m_blocks;
    // Per line, where it starts in the text: characters from the first, the
    // blank that closes each block not counted. LineBlock and LineStart
    // follow from it.
    ReservedMemory m_lineOffsets; // quint64 per line
    qint64 m_blockCount = 0;
    qint64 m_lineCount = 0;
};

} // namespace qelvrin
