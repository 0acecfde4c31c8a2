#include "viewer/search_scan.h"

#include "viewer/latin1_case.h"

#include <QByteArray>
#include <QFile>

#include <array>
#include <bit>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qelvrin {

namespace {

// The scan looks at the file 64 bytes at a time: one bit per byte.
constexpr qsizetype kBlock = 64;

using FoldTable = std::array<unsigned char, 256>;

FoldTable makeFoldTable()
{
    FoldTable table{};
    for (int byte = 0; byte < 256; ++byte)
        table[size_t(byte)] = latin1Upper(static_cast<unsigned char>(byte));
    return table;
}

// The text in capitals as bytes; nullopt when no line can contain it.
std::optional<QByteArray> foldedNeedle(const QString& text, const FoldTable& fold)
{
    if (text.isEmpty())
        return std::nullopt;
    QByteArray needle;
    needle.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0xFF || c == u'\r' || c == u'\n')
            return std::nullopt;
        needle.append(char(fold[c.unicode()]));
    }
    return needle;
}

// How often a byte turns up in logs and reports, roughly: the scan anchors
// on the needle's least common byte, so it stops at as few places as it can.
int commonness(unsigned char upper)
{
    static constexpr char kByFrequency[] = " ETAOINSRHLDCUMFPGWYBVKXJQZ0123456789.=:-,()_/";
    const char* at = static_cast<const char*>(std::memchr(kByFrequency, upper, sizeof kByFrequency - 1));
    return at ? int(sizeof kByFrequency) - int(at - kByFrequency) : 0;
}

qsizetype anchorIndex(const QByteArray& needle)
{
    qsizetype best = 0;
    for (qsizetype i = 1; i < needle.size(); ++i) {
        if (commonness(uchar(needle[i])) < commonness(uchar(needle[best])))
            best = i;
    }
    return best;
}

// The other byte with the same capital, or the byte itself.
unsigned char otherCase(unsigned char upper, const FoldTable& fold)
{
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != upper && fold[size_t(byte)] == upper)
            return static_cast<unsigned char>(byte);
    }
    return upper;
}

// Set bits of a word. The standard one becomes a library call on processors
// without a population-count instruction, which the baseline x86-64 lacks.
int bitCount(quint64 bits)
{
    bits = bits - ((bits >> 1) & 0x5555555555555555ULL);
    bits = (bits & 0x3333333333333333ULL) + ((bits >> 2) & 0x3333333333333333ULL);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return int((bits * 0x0101010101010101ULL) >> 56);
}

struct BlockMasks {
    quint64 cr = 0;
    quint64 lf = 0;
    quint64 anchor = 0;
};

// Bit i tells whether byte i of the 64 at `p` is a CR, an LF, or the anchor
// in either case.
BlockMasks blockMasks(const unsigned char* p, unsigned char anchorA, unsigned char anchorB)
{
    BlockMasks masks;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i a = _mm_set1_epi8(char(anchorA));
    const __m128i b = _mm_set1_epi8(char(anchorB));
    for (int part = 0; part < 4; ++part) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part));
        const auto bits = [](__m128i eq) { return quint64(quint32(_mm_movemask_epi8(eq))); };
        masks.cr |= bits(_mm_cmpeq_epi8(v, cr)) << (16 * part);
        masks.lf |= bits(_mm_cmpeq_epi8(v, lf)) << (16 * part);
        masks.anchor |= bits(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b))) << (16 * part);
    }
#else
    for (int i = 0; i < kBlock; ++i) {
        const quint64 bit = quint64(1) << i;
        masks.cr |= p[i] == '\r' ? bit : 0;
        masks.lf |= p[i] == '\n' ? bit : 0;
        masks.anchor |= (p[i] == anchorA || p[i] == anchorB) ? bit : 0;
    }
#endif
    return masks;
}

bool matchesAt(const unsigned char* at, const QByteArray& needle, const FoldTable& fold)
{
    for (qsizetype i = 0; i < needle.size(); ++i) {
        if (fold[at[i]] != uchar(needle[i]))
            return false;
    }
    return true;
}

LineSearchResult unreadable(const QFile& file)
{
    return {LineSearchResult::Outcome::Unreadable, 0, file.errorString()};
}

} // namespace

// One pass over the file through a reused buffer. Line ends are counted from
// bit masks (a CR, or an LF not right after a CR, ends a line), and only the
// places holding the anchor byte are compared with the whole needle. A needle
// holds no line end, so a match never spans two lines and the anchor's line
// is the match's line. The last needle-length bytes of each read wait for the
// next one, so matches across reads are found once.
LineSearchResult findLineAfter(const QString& nativePath, const QString& text, qint64 afterLine,
                               qsizetype readSize)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return unreadable(file);

    static const FoldTable fold = makeFoldTable();
    const std::optional<QByteArray> needle = foldedNeedle(text, fold);
    if (!needle)
        return {};
    const qsizetype n = needle->size();
    const qsizetype k = anchorIndex(*needle);
    const unsigned char anchorA = uchar(needle->at(k));
    const unsigned char anchorB = otherCase(anchorA, fold);

    readSize = qMax<qsizetype>(readSize, 1);
    // Room for the bytes kept from the last read (under 2n), one read, and a
    // whole block loaded past the end.
    QByteArray storage(2 * n + readSize + kBlock, '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(storage.data());

    qsizetype pos = 0;  // first byte not yet looked at
    qsizetype end = 0;  // one past the last byte read
    qint64 lineEnds = 0;
    bool lastWasCr = false;
    bool eof = false;

    while (!eof) {
        // Keep k bytes before `pos` so a needle whose anchor is yet to come
        // can still be compared from its start.
        const qsizetype keepFrom = qMax<qsizetype>(0, pos - k);
        std::memmove(buffer, buffer + keepFrom, size_t(end - keepFrom));
        pos -= keepFrom;
        end -= keepFrom;
        const qint64 got = file.read(reinterpret_cast<char*>(buffer + end), readSize);
        if (got < 0)
            return unreadable(file);
        eof = got == 0;
        end += got;

        const qsizetype stop = eof ? end : end - (n - 1);
        while (pos < stop) {
            const qsizetype length = qMin(kBlock, stop - pos);
            const quint64 valid = length == kBlock ? ~quint64(0) : (quint64(1) << length) - 1;
            BlockMasks masks = blockMasks(buffer + pos, anchorA, anchorB);
            masks.cr &= valid;
            masks.lf &= valid;
            masks.anchor &= valid;
            const quint64 ends = masks.cr | (masks.lf & ~((masks.cr << 1) | quint64(lastWasCr)));

            for (quint64 candidates = masks.anchor; candidates; candidates &= candidates - 1) {
                const int bit = std::countr_zero(candidates);
                const qint64 line = lineEnds + bitCount(ends & ((quint64(1) << bit) - 1)) + 1;
                const qsizetype start = pos + bit - k;
                if (line > afterLine && start >= 0 && start + n <= end && matchesAt(buffer + start, *needle, fold))
                    return {LineSearchResult::Outcome::Found, line, {}};
            }
            lineEnds += bitCount(ends);
            lastWasCr = (masks.cr >> (length - 1)) & 1;
            pos += length;
        }
    }
    return {};
}

} // namespace qelvrin
