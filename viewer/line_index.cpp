#include "viewer/line_index.h"

#include <algorithm>

namespace qelvrin {

namespace {

// A long entry: this flag byte (line end and form feed in its low bits),
// then the line's length in the file, seven bits a byte, lowest first.
constexpr unsigned char kLongEntry = 0xC0;
constexpr unsigned char kFormFeedBit = 0x04;
// The longest entry: the flag byte and ten bytes of length.
constexpr qint64 kLongestEntry = 11;

} // namespace

QByteArrayView lineEndBytes(LineEnd end)
{
    switch (end) {
    case LineEnd::CrLf:
        return "\r\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::Lf:
        return "\n";
    case LineEnd::None:
        break;
    }
    // Empty but not null: callers hand data() to memcmp.
    return "";
}

void LineIndex::clear()
{
    m_records.release();
    m_checkpoints.release();
    m_recordBytes = 0;
    m_count = 0;
    m_fileEnd = 0;
    m_textEnd = 0;
}

// Every byte can end a line, and a one-byte line takes a two-byte entry.
void LineIndex::reserveFor(qint64 fileBytes)
{
    clear();
    m_records.reserve(std::size_t(2 * fileBytes + kLongestEntry));
    m_checkpoints.reserve(std::size_t(fileBytes / LinesPerCheckpoint + 2) * sizeof(Checkpoint));
}

void LineIndex::makeRoomFor(qint64 bytes)
{
    m_records.grow(std::size_t(m_recordBytes + 2 * bytes + kLongestEntry));
    const qint64 checkpointsNeeded = (m_count + bytes) / LinesPerCheckpoint + 2;
    m_checkpoints.grow(std::size_t(checkpointsNeeded) * sizeof(Checkpoint));
}

void LineIndex::append(qint64 fileLength, LineEnd end, bool formFeed)
{
    if (m_count % LinesPerCheckpoint == 0) {
        auto* checkpoint = reinterpret_cast<Checkpoint*>(m_checkpoints.data()) + m_count / LinesPerCheckpoint;
        *checkpoint = {m_fileEnd, m_textEnd, m_recordBytes};
    }
    auto* out = reinterpret_cast<unsigned char*>(m_records.data()) + m_recordBytes;
    if (end == LineEnd::CrLf && !formFeed && fileLength < kLongestShort) {
        *out++ = static_cast<unsigned char>(fileLength);
    } else {
        *out++ = static_cast<unsigned char>(kLongEntry | (formFeed ? kFormFeedBit : 0) | quint8(end));
        auto length = quint64(fileLength);
        do {
            *out++ = static_cast<unsigned char>((length & 0x7F) | (length > 0x7F ? 0x80 : 0));
            length >>= 7;
        } while (length);
    }
    m_recordBytes = out - reinterpret_cast<unsigned char*>(m_records.data());
    const IndexedLine line{m_fileEnd, m_textEnd, fileLength, formFeed, end, 0};
    m_fileEnd += fileLength;
    m_textEnd += line.textLength();
    ++m_count;
}

void LineIndex::dropLast()
{
    if (m_count == 0)
        return;
    const qint64 last = m_count - 1;
    const IndexedLine dropped = line(last);
    m_recordBytes = last % LinesPerCheckpoint == 0 ? checkpoints()[last / LinesPerCheckpoint].record : line(last - 1).nextRecord;
    m_fileEnd = dropped.fileStart;
    m_textEnd = dropped.textStart;
    --m_count;
}

qint64 LineIndex::bytesUsed() const
{
    return m_recordBytes + checkpointCount() * qint64(sizeof(Checkpoint));
}

IndexedLine LineIndex::decode(qint64 record, qint64 fileStart, qint64 textStart) const
{
    const auto* in = reinterpret_cast<const unsigned char*>(m_records.data()) + record;
    IndexedLine line;
    line.fileStart = fileStart;
    line.textStart = textStart;
    const unsigned char first = *in++;
    if (first < kLongEntry) {
        line.fileLength = first;
    } else {
        line.formFeed = (first & kFormFeedBit) != 0;
        line.end = LineEnd(first & 0x03);
        quint64 length = 0;
        int shift = 0;
        unsigned char byte = 0;
        do {
            byte = *in++;
            length |= quint64(byte & 0x7F) << shift;
            shift += 7;
        } while (byte & 0x80);
        line.fileLength = qint64(length);
    }
    line.nextRecord = in - reinterpret_cast<const unsigned char*>(m_records.data());
    return line;
}

IndexedLine LineIndex::walk(qint64 checkpoint, qint64 steps) const
{
    const Checkpoint& from = checkpoints()[checkpoint];
    IndexedLine line = decode(from.record, from.fileStart, from.textStart);
    while (steps-- > 0)
        line = next(line);
    return line;
}

IndexedLine LineIndex::line(qint64 index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    return walk(index / LinesPerCheckpoint, index % LinesPerCheckpoint);
}

IndexedLine LineIndex::next(const IndexedLine& line) const
{
    return decode(line.nextRecord, line.fileEnd(), line.textEnd());
}

IndexedLine LineIndex::lineAtText(qint64 textOffset) const
{
    Q_ASSERT(textOffset >= 0 && textOffset < m_textEnd);
    const Checkpoint* first = checkpoints();
    const Checkpoint* after = std::upper_bound(first, first + checkpointCount(), textOffset,
                                               [](qint64 offset, const Checkpoint& c) { return offset < c.textStart; });
    const qint64 checkpoint = (after - first) - 1;
    const qint64 lastInGroup = std::min(m_count, (checkpoint + 1) * LinesPerCheckpoint) - 1;
    IndexedLine line = walk(checkpoint, 0);
    for (qint64 index = checkpoint * LinesPerCheckpoint; index < lastInGroup && line.textEnd() <= textOffset; ++index)
        line = next(line);
    return line;
}

} // namespace qelvrin
