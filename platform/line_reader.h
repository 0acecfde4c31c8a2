#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <optional>

namespace qelvrin {

// The one line reader of the program. A line ends at CR LF, at a lone CR or
// at a lone LF; the end is not part of the line. Bytes are characters.
// The returned view stays valid until the next call. Reads through a reused
// buffer, so memory stays flat however large the file.
class LineReader {
public:
    explicit LineReader(const QString& nativePath, qsizetype bufferSize = 1 << 20);
    // The same for a path held as the file system's bytes: a name that is
    // not UTF-8 has no text that would find the file again.
    explicit LineReader(const QByteArray& nativePath, qsizetype bufferSize = 1 << 20);

    bool isOpen() const { return m_file.isOpen(); }
    QString errorString() const { return m_openError.isEmpty() ? m_file.errorString() : m_openError; }
    // True when a read failed after the open (the file vanished or an I/O error).
    bool readFailed() const { return m_readFailed; }

    std::optional<QByteArrayView> next();

private:
    bool fill();

    QFile m_file;
    QString m_openError;
    QByteArray m_buffer;
    qsizetype m_begin = 0;   // first unread byte
    qsizetype m_end = 0;     // one past the last valid byte
    qsizetype m_nextCr = -1; // cached search results, -2 = none before m_end
    qsizetype m_nextLf = -1;
    bool m_eof = false;
    bool m_readFailed = false;
};

} // namespace qelvrin
