#include "viewer/line_index.h"

#include <algorithm>
#include <cstring>

namespace qelvrin {

namespace {

// A long entry: this flag byte (line end and form feed in its low bits),
// then the line's length in the file, seven bits a byte, lowest first.
constexpr unsigned char kLongEntry = 0xC0;
constexpr unsigned char kFormFeedBit = 0x04;
// The longest entry: the flag byte and ten bytes of length.
constexpr qint64 kLongestEntry = 11;
// Between stretches: this byte, then where the entries go on (8 bytes).
constexpr unsigned char kJump = 0xFF;
constexpr qint64 kJumpBytes = 9;
constexpr qint64 kUsualLineBytes = 64;

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
    m_recordData = nullptr;
    m_checkpoints = {};
    m_recordBytes = 0;
    m_partBytes = 0;
    m_gapBytes = 0;
    m_count = 0;
    m_nextCheckpoint = 0;
    m_fileEnd = 0;
    m_textEnd = 0;
}

// Every byte can end a line, and a one-byte line takes a two-byte entry;
// a stretch also has room for the jump to the next.
void LineIndex::reserveFor(qint64 fileBytes, int parts)
{
    clear();
    m_partBytes = (fileBytes + parts - 1) / parts;
    m_records.reserve(std::size_t(stretchOf(parts)));
    m_recordData = m_records.data();
}

qint64 LineIndex::stretchOf(int part) const
{
    return part * (2 * m_partBytes + kLongestEntry + kJumpBytes);
}

void LineIndex::beginPart(LineIndex& part, int number, qint64 fileStart) const
{
    Q_ASSERT(m_recordData && stretchOf(number + 1) <= qint64(m_records.capacity()));
    part.clear();
    part.m_isPart = true;
    part.m_recordData = m_recordData;
    part.m_recordBytes = stretchOf(number);
    part.m_fileEnd = fileStart;
    // Room for the checkpoints of lines of a log's usual length, so that
    // growing the list seldom copies it.
    part.m_checkpoints.reserve(std::size_t(m_partBytes / (kUsualLineBytes * LinesPerCheckpoint)) + 1);
}

void LineIndex::adopt(const LineIndex* parts, int count)
{
    Q_ASSERT(m_count == 0);
    std::size_t checkpoints = 0;
    for (int number = 0; number < count; ++number)
        checkpoints += parts[number].m_checkpoints.size();
    m_checkpoints.reserve(checkpoints);
    for (int number = 0; number < count; ++number) {
        const LineIndex& part = parts[number];
        if (part.m_count == 0)
            continue;
        const qint64 partStart = part.m_checkpoints.front().record;
        if (m_count > 0 && m_recordBytes != partStart) {
            // The entries go on in the part's stretch.
            m_recordData[m_recordBytes] = char(kJump);
            std::memcpy(m_recordData + m_recordBytes + 1, &partStart, sizeof partStart);
            m_gapBytes += partStart - m_recordBytes;
        }
        for (const Checkpoint& checkpoint : part.m_checkpoints)
            m_checkpoints.push_back({checkpoint.line + m_count, checkpoint.fileStart, checkpoint.textStart + m_textEnd, checkpoint.record});
        m_count += part.m_count;
        m_textEnd += part.m_textEnd;
        m_fileEnd = part.m_fileEnd;
        m_recordBytes = part.m_recordBytes;
    }
    m_nextCheckpoint = m_checkpoints.empty() ? 0 : m_checkpoints.back().line + LinesPerCheckpoint;
}

void LineIndex::makeRoomFor(qint64 bytes)
{
    if (m_isPart)
        return; // a part's stretch has room for every line it can hold
    m_records.grow(std::size_t(m_recordBytes + 2 * bytes + kLongestEntry + kJumpBytes));
    m_recordData = m_records.data();
}

void LineIndex::append(qint64 fileLength, LineEnd end, bool formFeed)
{
    if (m_count == m_nextCheckpoint) {
        m_checkpoints.push_back({m_count, m_fileEnd, m_textEnd, m_recordBytes});
        m_nextCheckpoint = m_count + LinesPerCheckpoint;
    }
    auto* out = reinterpret_cast<unsigned char*>(m_recordData) + m_recordBytes;
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
    m_recordBytes = out - reinterpret_cast<unsigned char*>(m_recordData);
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
    if (m_checkpoints.back().line == last) {
        m_recordBytes = m_checkpoints.back().record;
        m_checkpoints.pop_back();
        m_nextCheckpoint = last;
    } else {
        m_recordBytes = line(last - 1).nextRecord;
    }
    m_fileEnd = dropped.fileStart;
    m_textEnd = dropped.textStart;
    --m_count;
}

qint64 LineIndex::bytesUsed() const
{
    return m_recordBytes - m_gapBytes + qint64(m_checkpoints.size() * sizeof(Checkpoint));
}

IndexedLine LineIndex::decode(qint64 record, qint64 fileStart, qint64 textStart) const
{
    const auto* in = reinterpret_cast<const unsigned char*>(m_recordData) + record;
    if (*in == kJump) {
        std::memcpy(&record, in + 1, sizeof record);
        in = reinterpret_cast<const unsigned char*>(m_recordData) + record;
    }
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
    line.nextRecord = in - reinterpret_cast<const unsigned char*>(m_recordData);
    return line;
}

IndexedLine LineIndex::walk(qint64 checkpoint, qint64 steps) const
{
    const Checkpoint& from = m_checkpoints[std::size_t(checkpoint)];
    IndexedLine line = decode(from.record, from.fileStart, from.textStart);
    while (steps-- > 0)
        line = next(line);
    return line;
}

IndexedLine LineIndex::line(qint64 index) const
{
    Q_ASSERT(index >= 0 && index < m_count);
    const qint64 checkpoint = checkpointOf(index);
    return walk(checkpoint, index - m_checkpoints[std::size_t(checkpoint)].line);
}

// The last checkpoint at or before line `index`.
qint64 LineIndex::checkpointOf(qint64 index) const
{
    const auto after = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), index,
                                        [](qint64 wanted, const Checkpoint& c) { return wanted < c.line; });
    return (after - m_checkpoints.begin()) - 1;
}

IndexedLine LineIndex::next(const IndexedLine& line) const
{
    return decode(line.nextRecord, line.fileEnd(), line.textEnd());
}

IndexedLine LineIndex::lineAtText(qint64 textOffset) const
{
    Q_ASSERT(textOffset >= 0 && textOffset < m_textEnd);
    const auto after = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), textOffset,
                                        [](qint64 offset, const Checkpoint& c) { return offset < c.textStart; });
    const auto checkpoint = std::size_t(after - m_checkpoints.begin()) - 1;
    const qint64 lastInGroup = (after == m_checkpoints.end() ? m_count : after->line) - 1;
    IndexedLine line = walk(qint64(checkpoint), 0);
    for (qint64 index = m_checkpoints[checkpoint].line; index < lastInGroup && line.textEnd() <= textOffset; ++index)
        line = next(line);
    return line;
}

} // namespace qelvrin
