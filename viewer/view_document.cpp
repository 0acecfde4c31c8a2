#include "viewer/view_document.h"

#include <QThread>

#include <algorithm>
#include <cstring>
#include <new>

namespace qelvrin {

namespace {

// A block's text ends one short of its end: the last position stays blank.
constexpr qint64 kTextPerBlock = ViewDocument::BlockSize - 1;
// How much of the file's first and last bytes tells a file that grew from
// one that was written anew.
constexpr qint64 kFingerprintBytes = 4096;
// A thread costs more than it saves on less of a file than this.
constexpr qint64 kLeastPerThread = 4 * 1024 * 1024;

// Block and position (both from 0) of a text offset. An offset that falls
// just after a full block is that block's closing blank: a line that begins
// there is recorded at position 30,000 of the full block, and the end mark
// starts there.
struct Place {
    qint64 block;
    qint64 position;
};

Place placeOf(qint64 textOffset)
{
    if (textOffset > 0 && textOffset % kTextPerBlock == 0)
        return {textOffset / kTextPerBlock - 1, kTextPerBlock};
    return {textOffset / kTextPerBlock, textOffset % kTextPerBlock};
}

bool holdsLineEnd(const char* bytes, qint64 count)
{
    return std::memchr(bytes, '\r', size_t(count)) || std::memchr(bytes, '\n', size_t(count));
}

} // namespace

ViewDocument::~ViewDocument()
{
    clear();
}

void ViewDocument::clear()
{
    m_file.close();
    m_index.clear();
    m_indexed = {};
    m_blockCount = 0;
}

int ViewDocument::threadsFor(qint64 bytes)
{
    return int(std::clamp<qint64>(bytes / kLeastPerThread, 1, QThread::idealThreadCount()));
}

bool ViewDocument::load(const QString& nativePath, QString* error, const std::atomic_bool* abandon, int threads)
{
    clear();
    const auto fail = [&](const QString& why) {
        clear();
        if (error)
            *error = why;
        return false;
    };
    QString reason;
    if (!m_file.open(nativePath, &reason))
        return fail(reason);
    try {
        const qint64 size = std::max<qint64>(0, m_file.status().size);
        if (threads <= 0)
            threads = threadsFor(size);
        const ScanOutcome scanned = indexFile(m_file, m_index, size, threads, abandon);
        if (!scanned.done)
            return fail(scanned.error);
        noteIndexed();
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("Not enough memory to index the file"));
    }
    return true;
}

// Notes the file's state as indexed and the blocks the text takes: as many
// as the text needs, and at least one more than whole blocks in the file.
void ViewDocument::noteIndexed()
{
    m_indexed = stateNow(m_index.fileEnd());
    m_blockCount = std::max(m_index.fileEnd() / BlockSize + 1, placeOf(m_index.textEnd()).block + 1);
}

ViewDocument::FileState ViewDocument::stateNow(qint64 indexedBytes) const
{
    FileState state;
    const ReadOnlyFile::Status now = m_file.status();
    if (!now.known)
        return state;
    state.modifiedNs = now.modifiedNs;
    const qint64 edge = std::min(kFingerprintBytes, indexedBytes);
    state.head.resize(edge);
    state.tail.resize(edge);
    if (!readExactly(0, edge, state.head.data()) || !readExactly(indexedBytes - edge, edge, state.tail.data()))
        state.head.clear();
    return state;
}

qint64 ViewDocument::unindexedBytes() const
{
    const ReadOnlyFile::Status file = m_file.status();
    return file.known ? std::max<qint64>(0, file.size - m_index.fileEnd()) : 0;
}

ViewDocument::Change ViewDocument::refresh(const std::atomic_bool* abandon)
{
    const ReadOnlyFile::Status file = m_file.status();
    if (!file.known)
        return Change::None;
    const qint64 indexedBytes = m_index.fileEnd();
    if (file.size == indexedBytes && file.modifiedNs == m_indexed.modifiedNs)
        return Change::None;
    if (file.size < indexedBytes)
        return Change::Replaced;
    const FileState now = stateNow(indexedBytes);
    if (now.head != m_indexed.head || now.tail != m_indexed.tail)
        return Change::Replaced;
    if (file.size == indexedBytes) {
        m_indexed = now;
        return Change::None;
    }
    // The last line may go on in the bytes added: it is indexed again.
    m_index.dropLast();
    try {
        if (!scanLines(m_file, m_index, file.size, abandon).done)
            return Change::Replaced;
        noteIndexed();
    } catch (const std::bad_alloc&) {
        return Change::Replaced;
    }
    return Change::Grown;
}

qint64 ViewDocument::LineBlock(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= LineCount());
    return placeOf(m_index.line(line - 1).textStart).block + 1;
}

qint64 ViewDocument::LineStart(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= LineCount());
    return placeOf(m_index.line(line - 1).textStart).position + 1;
}

bool ViewDocument::readExactly(qint64 offset, qint64 count, char* out) const
{
    while (count > 0) {
        const qint64 got = m_file.readAt(offset, out, count);
        if (got <= 0)
            return false;
        out += got;
        offset += got;
        count -= got;
    }
    return true;
}

// Characters [textFrom, textFrom + count) of the text before the end mark,
// read from the file in one piece. False when the file's bytes there no
// longer hold the lines the index says: a line end inside a line, a line end
// not where it was, a form feed come or gone, or the bytes gone.
bool ViewDocument::readText(qint64 textFrom, qint64 count, char* out) const
{
    const qint64 textTo = textFrom + count;
    const IndexedLine first = m_index.lineAtText(textFrom);
    const auto fileAt = [](const IndexedLine& line, qint64 textOffset) {
        return line.contentStart() + std::min(textOffset - line.textStart, line.contentLength());
    };
    IndexedLine last = first;
    while (last.textEnd() < textTo)
        last = m_index.next(last);
    const qint64 fileFrom = fileAt(first, textFrom);
    // Through the last line's end, when the text asked for reaches it.
    const qint64 fileTo = textTo > last.textStart + last.contentLength() ? last.fileEnd() : fileAt(last, textTo);
    QByteArray bytes(fileTo - fileFrom, Qt::Uninitialized);
    if (!readExactly(fileFrom, bytes.size(), bytes.data()))
        return false;
    const auto in = [&](qint64 fileOffset) { return bytes.constData() + (fileOffset - fileFrom); };

    for (IndexedLine line = first;; line = m_index.next(line)) {
        if (line.fileStart >= fileFrom && (*in(line.fileStart) == '\f') != line.formFeed)
            return false;
        const qint64 from = std::max(textFrom, line.textStart);
        const qint64 contentEnd = line.textStart + line.contentLength();
        if (from < contentEnd) {
            const qint64 to = std::min(textTo, contentEnd);
            const char* source = in(fileAt(line, from));
            if (holdsLineEnd(source, to - from))
                return false;
            std::memcpy(out + (from - textFrom), source, size_t(to - from));
        }
        if (textTo > contentEnd) {
            const QByteArrayView end = lineEndBytes(line.end);
            if (std::memcmp(in(line.contentStart() + line.contentLength()), end.data(), size_t(end.size())) != 0)
                return false;
            for (qint64 at = std::max(from, contentEnd); at < std::min(textTo, contentEnd + 2); ++at)
                out[at - textFrom] = at == contentEnd ? '\r' : '\n';
        }
        if (line.fileStart == last.fileStart)
            return true;
    }
}

// Appends positions [from, to) (from 0) of block `block` (from 0): the text
// that falls there, the end mark where it falls, blanks elsewhere.
bool ViewDocument::appendBlockPart(QByteArray& out, qint64 block, qint64 from, qint64 to) const
{
    const qsizetype at = out.size();
    out.resize(at + (to - from));
    char* part = out.data() + at;
    std::memset(part, ' ', size_t(to - from));

    const qint64 textEnd = m_index.textEnd();
    const qint64 textFrom = std::min(block * kTextPerBlock + from, textEnd);
    const qint64 textTo = std::min(block * kTextPerBlock + std::min(to, kTextPerBlock), textEnd);
    if (textFrom < textTo && !readText(textFrom, textTo - textFrom, part))
        return false;

    const Place end = placeOf(textEnd);
    if (end.block == block) {
        const qint64 markTo = std::min(end.position + EndOfFileMarkLength, BlockSize);
        for (qint64 position = std::max(from, end.position); position < std::min(to, markTo); ++position)
            part[position - from] = EndOfFileMark[position - end.position];
    }
    return true;
}

QByteArray ViewDocument::TextBlock(qint64 block) const
{
    Q_ASSERT(block >= 1 && block <= m_blockCount);
    QByteArray text;
    if (!appendBlockPart(text, block - 1, 0, BlockSize))
        return {};
    return text;
}

QByteArray ViewDocument::viewText(qint64 v) const
{
    if (m_blockCount == 0)
        return {};
    qint64 block = 1;
    qint64 start = 1;
    if (v >= 1 && v <= LineCount()) {
        const Place place = placeOf(m_index.line(v - 1).textStart);
        block = place.block + 1;
        start = place.position + 1;
    }
    const bool withNext = start > NextBlockThreshold && block < m_blockCount;
    QByteArray text;
    text.reserve(BlockSize - start + 1 + (withNext ? NextBlockSpan : 0));
    if (!appendBlockPart(text, block - 1, start - 1, BlockSize))
        return {};
    if (withNext && !appendBlockPart(text, block, 0, NextBlockSpan))
        return {};
    return text;
}

QString ViewDocument::viewString(qint64 v) const
{
    const QByteArray text = viewText(v);
    return QString::fromLatin1(text.data(), text.size());
}

} // namespace qelvrin
