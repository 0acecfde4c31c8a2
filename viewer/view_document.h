#pragma once

#include "platform/read_only_file.h"
#include "viewer/line_index.h"
#include "viewer/line_scanner.h"

#include <QByteArray>
#include <QString>

#include <atomic>

namespace qelvrin {

// The viewer's view of a file: the text in blocks of BlockSize characters
// (bytes), each block's last position always blank, and a line index giving
// the block and position where each line starts. Blocks and positions are
// numbered from 1. The text is the file's lines, each less a leading form
// feed and ending in CR LF, then the end mark. Only the line index is held:
// the file stays open and the text of a block or page is read from it when
// asked for, so a file far larger than memory can be shown.
class ViewDocument {
public:
    static constexpr qint64 BlockSize = 30000;
    static constexpr qint64 NextBlockThreshold = 20000;
    static constexpr qint64 NextBlockSpan = 10000;
    static constexpr char EndOfFileMark[] = "\r\n-------- End of File --------";
    static constexpr qint64 EndOfFileMarkLength = sizeof(EndOfFileMark) - 1;

    // The threads a load of a file of `bytes` runs on.
    static int threadsFor(qint64 bytes);

    // What became of the file since it was indexed.
    enum class Change { None, Grown, Replaced };

    ViewDocument() = default;
    ~ViewDocument();
    ViewDocument(const ViewDocument&) = delete;
    ViewDocument& operator=(const ViewDocument&) = delete;

    // Opens the file and indexes its lines, on `threads` threads (0: one
    // per core, fewer for a small file). On failure the document is left empty and `error` (when
    // given) holds the reason; setting `abandon` meanwhile fails it with an
    // empty reason. The document belongs to the calling thread until it
    // returns.
    bool load(const QString& nativePath, QString* error = nullptr, const std::atomic_bool* abandon = nullptr, int threads = 0);
    void clear();

    // Compares the open file with what was indexed. A file that only grew
    // gets its new lines indexed (Grown). One that was truncated or rewritten
    // (Replaced) is to be loaded afresh. A file deleted or renamed over is
    // still the open one: nothing changed. Setting `abandon` ends the
    // indexing early, and the file then reads as Replaced at the next call.
    Change refresh(const std::atomic_bool* abandon = nullptr);
    // How far the file runs past what was indexed (0 when it does not).
    qint64 unindexedBytes() const;

    qint64 BlockCount() const { return m_blockCount; }
    qint64 LineCount() const { return m_index.count(); }
    // Entries of the line index, for lines 1 to LineCount.
    qint64 LineBlock(qint64 line) const;
    qint64 LineStart(qint64 line) const;
    // Block 1 to BlockCount, all BlockSize characters of it.
    QByteArray TextBlock(qint64 block) const;

    // What the view shows when line v is its first line: from the line's
    // start to the end of its block, and when the line starts beyond
    // NextBlockThreshold in a block that is not the last, NextBlockSpan more
    // characters of the next. A v of 0 (or out of range) draws line 1.
    // Empty when the file no longer holds the lines indexed there (changed
    // in place, or unreadable): it is then to be loaded afresh.
    QByteArray viewText(qint64 v) const;
    // The same, decoded as Latin-1 so every byte survives.
    QString viewString(qint64 v) const;

    // Memory the line index takes.
    qint64 indexBytes() const { return m_index.bytesUsed(); }

private:
    struct FileState {
        qint64 modifiedNs = 0;
        QByteArray head; // the first and last bytes indexed
        QByteArray tail;
    };

    void noteIndexed();
    FileState stateNow(qint64 indexedBytes) const;
    bool readText(qint64 textFrom, qint64 count, char* out) const;
    bool appendBlockPart(QByteArray& out, qint64 block, qint64 from, qint64 to) const;
    bool readExactly(qint64 offset, qint64 count, char* out) const;

    ReadOnlyFile m_file;
    LineIndex m_index;
    FileState m_indexed;
    qint64 m_blockCount = 0;
};

} // namespace qelvrin
