#include "viewer/view_document.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qelvrin {

namespace {

// A block's text ends one short of its end: the last position stays blank.
constexpr qint64 kTextPerBlock = ViewDocument::BlockSize - 1;
// Bytes read at a time: small enough to stay in the processor's cache.
constexpr qsizetype kReadSize = 256 * 1024;
// The scan looks at 64 bytes at a time, one bit per byte, and peeks one
// byte past them.
constexpr qsizetype kGroup = 64;
constexpr qsizetype kPadding = kGroup + 1;

quint64* offsets(const ReservedMemory& memory)
{
    return reinterpret_cast<quint64*>(memory.data());
}

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

struct GroupMasks {
    quint64 cr = 0;
    quint64 lf = 0;
    quint64 formFeed = 0;
};

// Bit i tells whether byte i of the 64 at `p` is a CR, an LF or a form feed.
GroupMasks groupMasks(const unsigned char* p)
{
    GroupMasks masks;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i ff = _mm_set1_epi8('\f');
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
        const auto bits = [](__m128i eq) { return quint64(quint32(_mm_movemask_epi8(eq))); };
        masks.cr |= bits(_mm_cmpeq_epi8(v, cr)) << (16 * part);
        masks.lf |= bits(_mm_cmpeq_epi8(v, lf)) << (16 * part);
        masks.formFeed |= bits(_mm_cmpeq_epi8(v, ff)) << (16 * part);
    }
#else
    for (int i = 0; i < kGroup; ++i) {
        const quint64 bit = quint64(1) << i;
        masks.cr |= p[i] == '\r' ? bit : 0;
        masks.lf |= p[i] == '\n' ? bit : 0;
        masks.formFeed |= p[i] == '\f' ? bit : 0;
    }
#endif
    return masks;
}

} // namespace

// Reads the file through one reused buffer and builds the text in bulk:
// runs of bytes that need no change (lines ending in CR LF) are copied as
// they are, and the line index takes the start of every line from bit masks
// of the line ends. Only a lone CR, a lone LF and a leading form feed break
// a run. The rules are the line reader's: a line ends at CR LF, a lone CR or
// a lone LF; a last line without an end gets one.
class ViewDocument::Loader {
public:
    explicit Loader(ViewDocument& document)
        : m_document(document)
    {
    }

    bool read(QFile& file, QString* error);
    qint64 textLength() const { return m_text; }

private:
    qsizetype scan(const unsigned char* data, qsizetype size, bool atEnd);
    void write(const unsigned char* bytes, qint64 count);
    void startLine(qint64 textOffset);

    ViewDocument& m_document;
    qint64 m_text = 0;             // characters of text written
    bool m_lineStartsNext = true;  // the next byte begins a line
    bool m_anyByte = false;
};

bool ViewDocument::Loader::read(QFile& file, QString* error)
{
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadSize + 1 + kPadding]);
    qsizetype kept = 0;
    for (;;) {
        const qint64 got = file.read(reinterpret_cast<char*>(buffer.get()) + kept, kReadSize);
        if (got < 0) {
            *error = file.errorString();
            return false;
        }
        const bool atEnd = got == 0;
        const qsizetype size = kept + qsizetype(got);
        std::memset(buffer.get() + size, 0, kPadding);
        const qsizetype used = scan(buffer.get(), size, atEnd);
        kept = size - used;
        std::memmove(buffer.get(), buffer.get() + used, size_t(kept));
        if (atEnd)
            break;
    }
    if (m_anyByte) {
        if (m_lineStartsNext)
            --m_document.m_lineCount; // the file ended with a line end: no line follows it
        else
            write(reinterpret_cast<const unsigned char*>("\r\n"), 2);
    }
    return true;
}

// Takes the lines of `size` bytes at `data` (followed by kPadding zero
// bytes) into the text. A CR that ends the data before the end of the file
// may be the first half of a CR LF: it is left for the next call, and the
// number of bytes taken says so.
qsizetype ViewDocument::Loader::scan(const unsigned char* data, qsizetype size, bool atEnd)
{
    if (!atEnd && size > 0 && data[size - 1] == '\r')
        --size;
    if (size > 0 && !m_anyByte) {
        m_anyByte = true;
        startLine(0);
    }
    qsizetype copyFrom = 0; // first byte not yet written
    const auto textAt = [&](qsizetype at) { return m_text + (at - copyFrom); };
    quint64 crBefore = 0; // the byte before the group is a CR
    for (qsizetype group = 0; group < size; group += kGroup) {
        const qsizetype length = std::min(kGroup, size - group);
        const quint64 valid = length == kGroup ? ~quint64(0) : (quint64(1) << length) - 1;
        GroupMasks masks = groupMasks(data + group);
        masks.cr &= valid;
        masks.lf &= valid;
        masks.formFeed &= valid;
        const quint64 lfAfter = (masks.lf >> 1) | (quint64(group + kGroup < size && data[group + kGroup] == '\n') << 63);

        const quint64 crLf = masks.lf & ((masks.cr << 1) | crBefore);
        const quint64 loneLf = masks.lf & ~crLf;
        const quint64 loneCr = masks.cr & ~lfAfter;
        const quint64 ends = crLf | loneCr | loneLf; // the last byte of each line end
        const quint64 starts = (ends << 1) | quint64(m_lineStartsNext);
        const quint64 leadingFormFeed = masks.formFeed & starts;
        crBefore = masks.cr >> 63;
        m_lineStartsNext = (ends >> (length - 1)) & 1;

        if ((loneCr | loneLf | leadingFormFeed) == 0) {
            for (quint64 e = ends; e; e &= e - 1)
                startLine(textAt(group + std::countr_zero(e) + 1));
            continue;
        }
        for (quint64 e = ends | leadingFormFeed; e; e &= e - 1) {
            const int bit = std::countr_zero(e);
            const quint64 one = quint64(1) << bit;
            const qsizetype at = group + bit;
            if (leadingFormFeed & one) {
                write(data + copyFrom, at - copyFrom);
                copyFrom = at + 1;
            } else if (loneLf & one) {
                write(data + copyFrom, at - copyFrom);
                write(reinterpret_cast<const unsigned char*>("\r\n"), 2);
                copyFrom = at + 1;
                startLine(m_text);
            } else if (loneCr & one) {
                write(data + copyFrom, at + 1 - copyFrom);
                write(reinterpret_cast<const unsigned char*>("\n"), 1);
                copyFrom = at + 1;
                startLine(m_text);
            } else {
                startLine(textAt(at + 1));
            }
        }
    }
    write(data + copyFrom, size - copyFrom);
    return size;
}

// Appends characters to the text; a block that fills up gets its closing
// blank and passes the rest on to the next, as many blocks as it takes.
void ViewDocument::Loader::write(const unsigned char* bytes, qint64 count)
{
    while (count > 0) {
        const qint64 block = m_text / kTextPerBlock;
        const qint64 position = m_text % kTextPerBlock;
        const qint64 chunk = std::min(count, kTextPerBlock - position);
        m_document.ensureBlocks(block + 1);
        char* at = m_document.m_blocks.data() + block * BlockSize + position;
        std::memcpy(at, bytes, size_t(chunk));
        if (position + chunk == kTextPerBlock)
            at[chunk] = ' ';
        m_text += chunk;
        bytes += chunk;
        count -= chunk;
    }
}

void ViewDocument::Loader::startLine(qint64 textOffset)
{
    ReservedMemory& index = m_document.m_lineOffsets;
    const std::size_t bytes = std::size_t(m_document.m_lineCount + 1) * sizeof(quint64);
    if (bytes > index.capacity())
        index.grow(bytes);
    offsets(index)[m_document.m_lineCount++] = quint64(textOffset);
}

void ViewDocument::clear()
{
    m_blocks.release();
    m_lineOffsets.release();
    m_blockCount = 0;
    m_lineCount = 0;
}

bool ViewDocument::load(const QString& nativePath, QString* error)
{
    clear();
    QString reason;
    const auto fail = [&](const QString& why) {
        clear();
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo info(nativePath);
    if (info.isDir())
        return fail(QStringLiteral("Is a directory"));
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(file.errorString());

    const qint64 fileLength = std::max<qint64>(0, info.size());
    try {
        // Room for the worst case, reserved but not yet used, so the store
        // is never moved while the file is read: a line end of one byte
        // becomes two characters, and each block gives up one position.
        const qint64 textBound = 2 * fileLength + EndOfFileMarkLength + 2;
        m_blocks.reserve(std::size_t((textBound / kTextPerBlock + 2) * BlockSize));
        m_lineOffsets.reserve(std::size_t(fileLength + 2) * sizeof(quint64));
        ensureBlocks(1);
        Loader loader(*this);
        if (!loader.read(file, &reason))
            return fail(reason);
        finishBlocks(fileLength, loader.textLength());
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("Not enough memory to hold the file"));
    }
    return true;
}

void ViewDocument::ensureBlocks(qint64 count)
{
    m_blocks.grow(std::size_t(count * BlockSize));
}

// The end mark goes into the current block as far as it reaches; then the
// rest of that block, and any block the file's length promised but the text
// did not need, is blank.
void ViewDocument::finishBlocks(qint64 fileLength, qint64 textLength)
{
    const Place end = placeOf(textLength);
    char* block = m_blocks.data() + end.block * BlockSize;
    const qint64 markLength = std::min(EndOfFileMarkLength, BlockSize - end.position);
    std::memcpy(block + end.position, EndOfFileMark, std::size_t(markLength));
    const qint64 used = end.position + markLength;
    std::memset(block + used, ' ', std::size_t(BlockSize - used));

    m_blockCount = std::max(fileLength / BlockSize + 1, end.block + 1);
    ensureBlocks(m_blockCount);
    const qint64 blankFrom = (end.block + 1) * BlockSize;
    std::memset(m_blocks.data() + blankFrom, ' ', std::size_t(m_blockCount * BlockSize - blankFrom));
}

qint64 ViewDocument::LineBlock(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= m_lineCount);
    return placeOf(qint64(offsets(m_lineOffsets)[line - 1])).block + 1;
}

qint64 ViewDocument::LineStart(qint64 line) const
{
    Q_ASSERT(line >= 1 && line <= m_lineCount);
    return placeOf(qint64(offsets(m_lineOffsets)[line - 1])).position + 1;
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
