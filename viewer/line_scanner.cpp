#include "viewer/line_scanner.h"

#include "platform/read_only_file.h"
#include "viewer/line_index.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QELVRIN_WIDE_SCAN
#endif

namespace qelvrin {

namespace {

// Bytes read at a time: the kernel copies into a buffer that stays in the
// processor's cache several times faster than into a larger one.
constexpr qsizetype kReadSize = 64 * 1024;
// A request to abandon the reading is looked at after this many bytes.
constexpr qint64 kPauseEvery = 8 * 1024 * 1024;
// Past the end of its share, a part reads this much at a time to finish
// the line that runs on.
constexpr qint64 kTailRead = 512;

// The scan looks at 64 bytes at a time, one bit per byte, and peeks one
// byte past them.
constexpr qsizetype kGroup = 64;
constexpr qsizetype kPadding = kGroup + 1;

struct GroupMasks {
    quint64 cr = 0;
    quint64 lf = 0;
    quint64 formFeed = 0;
};

// Bit i tells whether byte i of the 64 at `p` is a CR, an LF or a form feed:
// one way for every processor of the kind, one for those that compare 64
// bytes at once, which is most of the scan's time saved.
struct PortableMasks {
    static GroupMasks of(const unsigned char* p)
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
};

#if defined(QELVRIN_WIDE_SCAN)
#define QELVRIN_WIDE_TARGET [[gnu::target("avx512bw")]]
struct WideMasks {
    QELVRIN_WIDE_TARGET static GroupMasks of(const unsigned char* p)
    {
        const __m512i v = _mm512_loadu_si512(p);
        return {_mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r')), _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n')),
                _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\f'))};
    }
};
#endif

// Finds the line ends of the bytes handed to it, in file order, from bit
// masks: lines of CR LF, the logs' kind, are taken a whole group at a time.
class Scanner {
public:
    explicit Scanner(LineIndex& index) : m_index(index) {}

    qsizetype scan(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd);
    template <class Masks>
    [[gnu::always_inline]] inline qsizetype scanWith(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd);
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
template <class Masks>
qsizetype Scanner::scanWith(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd)
{
    if (!atEnd && size > 0 && data[size - 1] == '\r')
        --size;
    quint64 crBefore = 0; // the byte before the group is a CR
    for (qsizetype group = 0; group < size; group += kGroup) {
        const qsizetype length = std::min(kGroup, size - group);
        const quint64 valid = length == kGroup ? ~quint64(0) : (quint64(1) << length) - 1;
        GroupMasks masks = Masks::of(data + group);
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
            m_index.appendCrLfEnds(ends, base);
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

qsizetype scanPortable(Scanner& scanner, const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd)
{
    return scanner.scanWith<PortableMasks>(data, size, fileOffset, atEnd);
}

#if defined(QELVRIN_WIDE_SCAN)
QELVRIN_WIDE_TARGET qsizetype scanWide(Scanner& scanner, const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd)
{
    return scanner.scanWith<WideMasks>(data, size, fileOffset, atEnd);
}
#endif

// The processor is asked once which of the two it can run.
qsizetype Scanner::scan(const unsigned char* data, qsizetype size, qint64 fileOffset, bool atEnd)
{
#if defined(QELVRIN_WIDE_SCAN)
    static const bool wide = __builtin_cpu_supports("avx512bw");
    if (wide)
        return scanWide(*this, data, size, fileOffset, atEnd);
#endif
    return scanPortable(*this, data, size, fileOffset, atEnd);
}

// A last line without a line end.
void Scanner::finish(qint64 fileEnd)
{
    if (fileEnd > m_index.fileEnd())
        m_index.append(fileEnd - m_index.fileEnd(), LineEnd::None, m_formFeed);
}

// Reads the file from the end of `index` (where a line begins) and appends
// the lines that begin before `stopAt`, through the end of the last of them;
// the bytes from `end` on are taken as not there. Touches only `index`, its
// own buffer and the file: each part of a load runs it on its own thread.
ScanOutcome scanStretch(const ReadOnlyFile& file, LineIndex& index, qint64 stopAt, qint64 end, const std::atomic_bool* abandon)
{
    const std::unique_ptr<unsigned char[]> buffer(new unsigned char[kReadSize + 1 + kPadding]);
    Scanner scanner(index);
    qint64 offset = index.fileEnd(); // the file offset of buffer[0]
    qsizetype kept = 0;
    qint64 sincePause = 0;
    qint64 tailRead = kTailRead;
    bool atEnd = false;
    while (!atEnd && index.fileEnd() < stopAt) {
        // Up to where this stretch's lines stop, then in small steps to the
        // end of the line that runs on past it.
        const qint64 from = offset + kept;
        const qint64 want = std::min<qint64>(from < stopAt ? stopAt - from : std::exchange(tailRead, std::min<qint64>(2 * tailRead, kReadSize)), end - from);
        QString reason;
        const qint64 got = want > 0 ? file.readAt(from, reinterpret_cast<char*>(buffer.get() + kept), std::min<qint64>(want, kReadSize), &reason) : 0;
        if (got < 0)
            return {false, reason};
        atEnd = got == 0;
        const qsizetype size = kept + qsizetype(got);
        std::memset(buffer.get() + size, 0, kPadding);
        index.makeRoomFor(size);
        const qsizetype used = scanner.scan(buffer.get(), size, offset, atEnd);
        kept = size - used;
        std::memmove(buffer.get(), buffer.get() + used, size_t(kept));
        offset += used;
        sincePause += got;
        if (abandon && sincePause >= kPauseEvery) {
            sincePause = 0;
            if (abandon->load(std::memory_order_relaxed))
                return {};
        }
    }
    if (atEnd)
        scanner.finish(offset);
    // Lines the last read took beyond the stretch's are the next stretch's.
    while (index.count() > 0 && index.fileEnd() > stopAt && index.line(index.count() - 1).fileStart >= stopAt)
        index.dropLast();
    return {true, {}};
}

// The first line start at or after `from`: after the first LF or lone CR
// from the byte before it on. `end` when there is none before the end.
qint64 firstLineStart(const ReadOnlyFile& file, qint64 from, qint64 end, QString* error, const std::atomic_bool* abandon)
{
    if (from == 0)
        return 0;
    const std::unique_ptr<char[]> buffer(new char[kReadSize]);
    for (qint64 at = from - 1; at < end;) {
        if (abandon && abandon->load(std::memory_order_relaxed))
            return end;
        const qint64 got = file.readAt(at, buffer.get(), std::min<qint64>(kReadSize, end - at), error);
        if (got <= 0)
            return got < 0 ? -1 : end;
        const auto* cr = static_cast<const char*>(std::memchr(buffer.get(), '\r', size_t(got)));
        const auto* lf = static_cast<const char*>(std::memchr(buffer.get(), '\n', size_t(got)));
        if (!cr && !lf) {
            at += got;
            continue;
        }
        const qint64 lineEnd = at + (std::min(cr ? cr : lf, lf ? lf : cr) - buffer.get());
        char next = 0;
        if (cr && (!lf || cr < lf) && lineEnd + 1 < end && file.readAt(lineEnd + 1, &next, 1, error) == 1 && next == '\n')
            return lineEnd + 2;
        return lineEnd + 1;
    }
    return end;
}

} // namespace

ScanOutcome scanLines(const ReadOnlyFile& file, LineIndex& index, qint64 end, const std::atomic_bool* abandon)
{
    return scanStretch(file, index, end, end, abandon);
}

ScanOutcome indexFile(const ReadOnlyFile& file, LineIndex& index, qint64 end, int threads, const std::atomic_bool* abandon)
{
    const int parts = int(std::clamp<qint64>(end, 1, std::max(1, threads)));
    index.reserveFor(end, parts);
    if (parts == 1)
        return scanLines(file, index, end, abandon);
    const std::unique_ptr<LineIndex[]> part(new LineIndex[parts]);
    std::vector<ScanOutcome> outcome{std::size_t(parts), ScanOutcome{}};
    // Part n indexes the lines that begin in its share of the file; the
    // index is not touched by anything else until every thread has joined.
    const auto run = [&](int n) {
        const qint64 shareStart = end / parts * n;
        const qint64 shareEnd = n + 1 == parts ? end : end / parts * (n + 1);
        QString reason;
        const qint64 start = firstLineStart(file, shareStart, end, &reason, abandon);
        if (start < 0) {
            outcome[std::size_t(n)] = {false, reason};
            return;
        }
        index.beginPart(part[n], n, start);
        outcome[std::size_t(n)] = start >= shareEnd && n + 1 < parts ? ScanOutcome{true, {}} : scanStretch(file, part[n], shareEnd, end, abandon);
    };
    std::vector<std::thread> helpers;
    for (int n = 1; n < parts; ++n)
        helpers.emplace_back(run, n);
    run(0);
    for (std::thread& helper : helpers)
        helper.join();
    for (const ScanOutcome& one : outcome) {
        if (!one.done)
            return one;
    }
    index.adopt(part.get(), parts);
    return {true, {}};
}

} // namespace qelvrin
