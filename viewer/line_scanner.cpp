#include "viewer/line_scanner.h"

#include "platform/read_only_file.h"
#include "viewer/line_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qelvrin {

namespace {

// Bytes read at a time: the kernel copies into a buffer that stays in the
// processor's cache several times faster than into a larger one.
constexpr qsizetype kReadSize = 64 * 1024;
// The pause is offered after this many bytes.
constexpr qint64 kPauseEvery = 8 * 1024 * 1024;
// The scan looks at 64 bytes at a time, one bit per byte, and peeks one
// byte past them.
constexpr qsizetype kGroup = 64;
constexpr qsizetype kPadding = kGroup + 1;

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

// Finds the line ends of the bytes handed to it, in file order, from bit
// masks: lines of CR LF, the logs' kind, are taken a whole group at a time.
class Scanner {
public:
    explicit Scanner(LineIndex& index) : m_index(index) {}

    qsizetype scan(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd);
    void finish(qint64 fileEnd);

private:
    LineIndex& m_index;
    bool m_lineStartsNext = true; // the next byte begins a line
    bool m_formFeed = false;      // the line under way begins with a form feed
};

// Takes the lines of `size` bytes at `data`, the file's bytes from
// `fileOffset` (followed by kPadding zero bytes). A CR that ends the data
// before the end of the file may be the first half of a CR LF: it is left
// for the next call, and the number of bytes taken says so.
qsizetype Scanner::scan(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd)
{
    if (!atEnd && size > 0 && data[size - 1] == '\r')
        --size;
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

        const qint64 base = fileOffset + group + 1; // a line ending at bit b is followed by base + b
        if ((loneCr | loneLf | leadingFormFeed) == 0 && !m_formFeed) {
            for (quint64 e = ends; e; e &= e - 1)
                m_index.appendCrLf(base + std::countr_zero(e) - m_index.fileEnd());
            continue;
        }
        for (quint64 e = ends | leadingFormFeed; e; e &= e - 1) {
            const int bit = std::countr_zero(e);
            const quint64 one = quint64(1) << bit;
            if (leadingFormFeed & one) {
                m_formFeed = true;
                continue;
            }
            const LineEnd end = (crLf & one) ? LineEnd::CrLf : (loneCr & one) ? LineEnd::Cr : LineEnd::Lf;
            m_index.append(base + bit - m_index.fileEnd(), end, m_formFeed);
            m_formFeed = false;
        }
    }
    return size;
}

// A last line without a line end.
void Scanner::finish(qint64 fileEnd)
{
    if (fileEnd > m_index.fileEnd())
        m_index.append(fileEnd - m_index.fileEnd(), LineEnd::None, m_formFeed);
}

} // namespace

ScanOutcome scanLines(const ReadOnlyFile& file, LineIndex& index, const ReadPause& pause)
{
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadSize + 1 + kPadding]);
    Scanner scanner(index);
    qint64 offset = index.fileEnd(); // the file offset of buffer[0]
    qsizetype kept = 0;
    qint64 sincePause = 0;
    for (;;) {
        QString reason;
        const qint64 got = file.readAt(offset + kept, reinterpret_cast<char*>(buffer.get() + kept), kReadSize, &reason);
        if (got < 0)
            return {false, reason};
        const bool atEnd = got == 0;
        const qsizetype size = kept + qsizetype(got);
        std::memset(buffer.get() + size, 0, kPadding);
        index.makeRoomFor(size);
        const qsizetype used = scanner.scan(buffer.get(), size, offset, atEnd);
        kept = size - used;
        std::memmove(buffer.get(), buffer.get() + used, size_t(kept));
        offset += used;
        if (atEnd)
            break;
        sincePause += got;
        if (pause && sincePause >= kPauseEvery) {
            sincePause = 0;
            if (!pause())
                return {};
        }
    }
    scanner.finish(offset);
    return {true, {}};
}

} // namespace qelvrin
