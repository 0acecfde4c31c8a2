#pragma once

#include "platform/regular_open.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <optional>

namespace qelvrin {

// The one line reader of the program. A line ends at CR LF, at a lone CR or
// at a lone LF; the end is not part of the line. Bytes are characters.
// Returned views stay valid until the next call. Reads through one buffer
// that never grows, so memory stays flat however large the file and however
// long its lines: a line longer than the buffer comes as pieces.
// Opens regular files only, without blocking, and reads no more than the
// size they had when opened: a file that a writer keeps growing ends there.
// Stops reading, as a failed read, once the program is asked to end
// (interrupt::requested()).
class LineReader {
public:
    explicit LineReader(const QString& nativePath, qsizetype bufferSize = 1 << 20);
    // The same for a path held as the file system's bytes: a name that is
    // not UTF-8 has no text that would find the file again.
    explicit LineReader(const QByteArray& nativePath, qsizetype bufferSize = 1 << 20, files::Links links = files::Links::Follow);

    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_error.isEmpty() ? m_file.errorString() : m_error; }
    // True when a read failed after the open (the file vanished, an I/O
    // error, or an interruption).
    bool readFailed() const { return m_readFailed; }
    bool interrupted() const { return m_interrupted; }

    // A line, or the next piece of one longer than the buffer; `lineEnds`
    // is false on every piece but a line's last, and such a piece fills the
    // buffer (at least 16 bytes).
    struct Piece {
        QByteArrayView bytes;
        bool lineEnds = true;
    };
    std::optional<Piece> nextPiece();

    // The next line, cut to the buffer's size: the rest of a longer line is
    // skipped, and lastLineCut() says so. For files whose lines are short
    // by nature (settings, the run marker, a printed page's lines).
    std::optional<QByteArrayView> next();
    bool lastLineCut() const { return m_cut; }

private:
    bool fill();

    QFile m_file;
    QString m_error;
    QByteArray m_buffer;
    qint64 m_left = 0;        // bytes of the size at open not yet read
    qsizetype m_capacity = 0; // the longest piece
    qsizetype m_begin = 0;   // first unread byte
    qsizetype m_end = 0;     // one past the last valid byte
    qsizetype m_nextCr = -1; // cached search results, -2 = none before m_end
    qsizetype m_nextLf = -1;
    bool m_eof = false;
    bool m_readFailed = false;
    bool m_interrupted = false;
    bool m_skipLf = false;   // the last line ended at a CR: an LF after it is that end's
    bool m_midLine = false;  // pieces of the current line were given
    bool m_cut = false;
};

} // namespace qelvrin
