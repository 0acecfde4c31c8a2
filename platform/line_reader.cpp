#include "platform/line_reader.h"

#include "platform/interrupt.h"
#include "platform/regular_open.h"

#include <cstring>

namespace qelvrin {

namespace {
constexpr qsizetype kNone = -2;
constexpr qsizetype kUnknown = -1;
}

LineReader::LineReader(const QString& nativePath, qsizetype bufferSize)
    : LineReader(QFile::encodeName(nativePath), bufferSize)
{
}

LineReader::LineReader(const QByteArray& nativePath, qsizetype bufferSize, files::Links links)
{
    // One byte beyond the longest piece tells whether a line goes on.
    m_capacity = qMax<qsizetype>(bufferSize, 16);
    m_buffer.resize(m_capacity + 1);
    m_eof = !files::openRegularForReading(m_file, nativePath, &m_error, links);
    m_left = m_eof ? 0 : m_file.size();
}

// Moves the unread bytes to the front and reads more behind them, into the
// room the buffer has. False when nothing more can be read.
bool LineReader::fill()
{
    if (m_eof)
        return false;
    if (interrupt::requested()) {
        m_error = QStringLiteral("interrupted");
        m_interrupted = m_readFailed = m_eof = true;
        return false;
    }
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
    const qint64 room = qMin<qint64>(m_buffer.size() - m_end, m_left);
    const qint64 got = room > 0 ? m_file.read(m_buffer.data() + m_end, room) : 0;
    if (got < 0)
        m_readFailed = true;
    if (got <= 0) {
        m_eof = true;
        return false;
    }
    m_end += got;
    m_left -= got;
    // Cached "none found" results no longer hold for the new bytes.
    if (m_nextCr == kNone)
        m_nextCr = kUnknown;
    if (m_nextLf == kNone)
        m_nextLf = kUnknown;
    return true;
}

std::optional<LineReader::Piece> LineReader::nextPiece()
{
    const auto find = [this](qsizetype& cached, char byte) {
        if (cached == kUnknown || (cached >= 0 && cached < m_begin)) {
            const char* base = m_buffer.constData();
            const void* hit = std::memchr(base + m_begin, byte, size_t(m_end - m_begin));
            cached = hit ? static_cast<const char*>(hit) - base : kNone;
        }
        return cached;
    };
    const auto give = [this](qsizetype from, qsizetype to, bool ends) {
        m_midLine = !ends;
        return Piece{QByteArrayView(m_buffer.constData() + from, to - from), ends};
    };

    if (m_skipLf) {
        if (m_begin == m_end)
            fill();
        if (m_begin < m_end && m_buffer.at(m_begin) == '\n')
            ++m_begin;
        m_skipLf = false;
    }
    for (;;) {
        const qsizetype cr = find(m_nextCr, '\r');
        const qsizetype lf = find(m_nextLf, '\n');
        qsizetype stop = -1;
        if (cr >= 0 && (lf < 0 || cr < lf))
            stop = cr;
        else if (lf >= 0)
            stop = lf;

        // A line longer than a piece goes in pieces; the byte after one is
        // no line end, so the line does go on.
        if ((stop >= 0 ? stop : m_end) - m_begin > m_capacity) {
            const qsizetype from = m_begin;
            m_begin += m_capacity;
            return give(from, m_begin, false);
        }
        if (stop >= 0) {
            const qsizetype from = m_begin;
            m_begin = stop + 1;
            if (m_buffer.at(stop) == '\r') {
                if (m_begin < m_end)
                    m_begin += m_buffer.at(m_begin) == '\n' ? 1 : 0;
                else
                    m_skipLf = true; // its LF, if any, is still to be read
            }
            return give(from, stop, true);
        }
        if (!fill()) {
            if (m_begin == m_end && !m_midLine)
                return std::nullopt;
            const qsizetype from = m_begin;
            m_begin = m_end;
            return give(from, m_end, true);
        }
    }
}

std::optional<QByteArrayView> LineReader::next()
{
    if (m_cut) {
        while (const std::optional<Piece> rest = nextPiece()) {
            if (rest->lineEnds)
                break;
        }
    }
    const std::optional<Piece> piece = nextPiece();
    m_cut = piece && !piece->lineEnds;
    if (!piece)
        return std::nullopt;
    return piece->bytes;
}

} // namespace qelvrin
