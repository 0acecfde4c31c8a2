#include "platform/line_reader.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin {

namespace {
constexpr qsizetype kNone = -2;
constexpr qsizetype kUnknown = -1;
}

LineReader::LineReader(const QString& nativePath, qsizetype bufferSize)
    : LineReader(QFile::encodeName(nativePath), bufferSize)
{
}

LineReader::LineReader(const QByteArray& nativePath, qsizetype bufferSize)
{
    m_buffer.resize(qMax<qsizetype>(bufferSize, 16));
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    int openError = 0;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        openError = errno;
    else if (S_ISDIR(info.st_mode))
        openError = EISDIR; // a folder opens for reading; only its first read would fail
    if (openError != 0) {
        if (fd >= 0)
            ::close(fd);
        m_openError = qt_error_string(openError);
        m_eof = true;
    } else if (!m_file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        m_eof = true;
    }
}

// Moves the unread bytes to the front and reads more behind them; grows the
// buffer when one line fills it. False when nothing more can be read.
bool LineReader::fill()
{
    if (m_eof)
        return false;
    if (m_begin > 0) {
        const qsizetype pending = m_end - m_begin;
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, size_t(pending));
        const auto shift = [this](qsizetype& cached) {
            if (cached >= 0)
                cached = cached >= m_begin ? cached - m_begin : kUnknown;
        };
        shift(m_nextCr);
        shift(m_nextLf);
        m_end = pending;
        m_begin = 0;
    }
    if (m_end == m_buffer.size())
        m_buffer.resize(m_buffer.size() * 2);
    const qint64 got = m_file.read(m_buffer.data() + m_end, m_buffer.size() - m_end);
    if (got < 0)
        m_readFailed = true;
    if (got <= 0) {
        m_eof = true;
        return false;
    }
    m_end += got;
    // Cached "none found" results no longer hold for the new bytes.
    if (m_nextCr == kNone)
        m_nextCr = kUnknown;
    if (m_nextLf == kNone)
        m_nextLf = kUnknown;
    return true;
}

std::optional<QByteArrayView> LineReader::next()
{
    const auto find = [this](qsizetype& cached, char byte) {
        if (cached == kUnknown || (cached >= 0 && cached < m_begin)) {
            const char* base = m_buffer.constData();
            const void* hit = std::memchr(base + m_begin, byte, size_t(m_end - m_begin));
            cached = hit ? static_cast<const char*>(hit) - base : kNone;
        }
        return cached;
    };

    for (;;) {
        const qsizetype cr = find(m_nextCr, '\r');
        const qsizetype lf = find(m_nextLf, '\n');
        qsizetype stop = -1;
        if (cr >= 0 && (lf < 0 || cr < lf))
            stop = cr;
        else if (lf >= 0)
            stop = lf;

        if (stop >= 0) {
            // A CR at the very end may be the first half of CR LF.
            if (m_buffer.at(stop) == '\r' && stop + 1 == m_end && !m_eof) {
                // fill() may have moved the bytes even when nothing more came.
                fill();
                continue;
            }
            const char* data = m_buffer.constData();
            const QByteArrayView line(data + m_begin, stop - m_begin);
            qsizetype after = stop + 1;
            if (data[stop] == '\r' && after < m_end && data[after] == '\n')
                ++after;
            m_begin = after;
            return line;
        }
        if (!fill()) {
            if (m_begin == m_end)
                return std::nullopt;
            const QByteArrayView line(m_buffer.constData() + m_begin, m_end - m_begin);
            m_begin = m_end;
            return line;
        }
    }
}

} // namespace qelvrin
