#include "viewer/view_document.h"

#include "platform/line_reader.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <new>

namespace qelvrin {

namespace {

// A block's text ends one short of its end: the last position stays blank.
constexpr qint64 kTextPerBlock = ViewDocument::BlockSize - 1;
constexpr char kFormFeed = '\f';

quint32* words(const ReservedMemory& memory)
{
    return reinterpret_cast<quint32*>(memory.data());
}

} // namespace

void ViewDocument::clear()
{
    m_blocks.release();
    m_lineBlock.release();
    m_lineStart.release();
    m_blockCount = 0;
    m_lineCount = 0;
    m_block = 0;
    m_position = 0;
}

bool ViewDocument::load(const QString& nativePath, QString* error)
{
    clear();
    const auto fail = [&](const QString& reason) {
        clear();
        if (error)
            *error = reason;
        return false;
    };
    const QFileInfo info(nativePath);
    if (info.isDir())
        return fail(QStringLiteral("Is a directory"));
    LineReader reader(nativePath);
    if (!reader.isOpen())
        return fail(reader.errorString());

    const qint64 fileLength = std::max<qint64>(0, info.size());
    try {
        beginBlocks(fileLength);
        while (const auto line = reader.next())
            appendLine(*line);
        if (reader.readFailed())
            return fail(reader.errorString());
        finishBlocks(fileLength);
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("Not enough memory to hold the file"));
    }
    return true;
}

// Reserves room for the worst case, so the store is never moved while the
// file is read: a line end of one byte becomes two characters, and each
// block gives up one position. Only the pages written become resident.
void ViewDocument::beginBlocks(qint64 fileLength)
{
    const qint64 textBound = 2 * fileLength + EndOfFileMarkLength + 2;
    const qint64 blockBound = textBound / kTextPerBlock + 2;
    m_blocks.reserve(std::size_t(blockBound * BlockSize));
    const qint64 lineBound = fileLength + 2;
    m_lineBlock.reserve(std::size_t(lineBound) * sizeof(quint32));
    m_lineStart.reserve(std::size_t(lineBound) * sizeof(quint32));
    ensureBlocks(1);
}

void ViewDocument::ensureBlocks(qint64 count)
{
    m_blocks.grow(std::size_t(count * BlockSize));
}

void ViewDocument::appendLine(QByteArrayView line)
{
    const std::size_t indexBytes = std::size_t(m_lineCount + 1) * sizeof(quint32);
    if (indexBytes > m_lineBlock.capacity()) {
        m_lineBlock.grow(indexBytes);
        m_lineStart.grow(indexBytes);
    }
    words(m_lineBlock)[m_lineCount] = quint32(m_block + 1);
    words(m_lineStart)[m_lineCount] = quint32(m_position + 1);
    ++m_lineCount;

    if (!line.isEmpty() && line.front() == kFormFeed)
        line = line.sliced(1);
    put(line.data(), line.size());
    put("\r\n", 2);
}

// Writes characters on from the current position; a block that is full
// passes the rest on to the next, as many blocks as it takes.
void ViewDocument::put(const char* bytes, qint64 count)
{
    while (count > 0) {
        if (m_position == kTextPerBlock)
            nextBlock();
        const qint64 chunk = std::min(count, kTextPerBlock - m_position);
        std::memcpy(m_blocks.data() + m_block * BlockSize + m_position, bytes, std::size_t(chunk));
        m_position += chunk;
        bytes += chunk;
        count -= chunk;
    }
}

void ViewDocument::nextBlock()
{
    m_blocks.data()[m_block * BlockSize + kTextPerBlock] = ' ';
    ++m_block;
    m_position = 0;
    ensureBlocks(m_block + 1);
}

// The end mark goes into the current block as far as it reaches; then the
// rest of that block, and any block the file's length promised but the text
// did not need, is blank.
void ViewDocument::finishBlocks(qint64 fileLength)
{
    char* block = m_blocks.data() + m_block * BlockSize;
    const qint64 markLength = std::min(EndOfFileMarkLength, BlockSize - m_position);
    std::memcpy(block + m_position, EndOfFileMark, std::size_t(markLength));
    const qint64 used = m_position + markLength;
    std::memset(block + used, ' ', std::size_t(BlockSize - used));

    m_blockCount = std::max(fileLength / BlockSize + 1, m_block + 1);
    ensureBlocks(m_blockCount);
    const qint64 blankFrom = (m_block + 1) * BlockSize;
    std::memset(m_blocks.data() + blankFrom, ' ', std::size_t(m_blockCount * BlockSize - blankFrom));
}

qint64 ViewDocument::LineBlock(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= m_lineCount);
    return words(m_lineBlock)[line - 1];
}

qint64 ViewDocument::LineStart(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= m_lineCount);
    return words(m_lineStart)[line - 1];
}

QByteArrayView ViewDocument::TextBlock(qint64 block) const
{
    Q_ASSERT(block >= 1 && block <= m_blockCount);
    return QByteArrayView(m_blocks.data() + (block - 1) * BlockSize, BlockSize);
}

QByteArrayView ViewDocument::viewText(qint64 v) const
{
    if (m_blockCount == 0)
        return {};
    qint64 block = 1;
    qint64 start = 1;
    if (v >= 1 && v <= m_lineCount) {
        block = LineBlock(v);
        start = LineStart(v);
    }
    qint64 length = BlockSize - start + 1;
    if (start > NextBlockThreshold && block < m_blockCount)
        length += NextBlockSpan;
    return QByteArrayView(m_blocks.data() + (block - 1) * BlockSize + (start - 1), length);
}

QString ViewDocument::viewString(qint64 v) const
{
    const QByteArrayView text = viewText(v);
    return QString::fromLatin1(text.data(), text.size());
}

} // namespace qelvrin
