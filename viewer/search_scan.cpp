#include "viewer/search_scan.h"

#include "viewer/latin1_case.h"

#include "platform/read_only_file.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qelvrin {

namespace {

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

bool matchesAt(const unsigned char* at, const QByteArray& needle, const FoldTable& fold)
{
    for (qsizetype i = 0; i < needle.size(); ++i) {
        if (fold[at[i]] != uchar(needle[i]))
            return false;
    }
    return true;
}

// Two bytes of the needle the scan looks for together, each in either case:
// its least common byte, and the next least common one (the same byte for a
// needle of one character).
struct Anchors {
    qsizetype first = 0;
    qsizetype second = 0;
    unsigned char firstA = 0, firstB = 0, secondA = 0, secondB = 0;
};

Anchors pickAnchors(const QByteArray& needle, const FoldTable& fold)
{
    Anchors anchors;
    anchors.first = anchorIndex(needle);
    anchors.second = anchors.first;
    for (qsizetype i = 0; i < needle.size(); ++i) {
        if (i == anchors.first)
            continue;
        if (anchors.second == anchors.first || commonness(uchar(needle[i])) < commonness(uchar(needle[anchors.second])))
            anchors.second = i;
    }
    anchors.firstA = uchar(needle[anchors.first]);
    anchors.firstB = otherCase(anchors.firstA, fold);
    anchors.secondA = uchar(needle[anchors.second]);
    anchors.secondB = otherCase(anchors.secondA, fold);
    return anchors;
}

struct ScanState {
    qint64 lineEnds = 0;    // line ends before the next byte to look at
    bool lastWasCr = false; // the byte before it is a CR
};

struct ScanTarget {
    const QByteArray* needle;
    const FoldTable* fold;
    Anchors anchors;
    qint64 afterLine;
};

#if defined(__x86_64__)
bool hasAvx2()
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

__attribute__((target("avx2"))) __m256i loadAvx2(const unsigned char* p)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Sum of the 32 byte counters.
__attribute__((target("avx2"))) qint64 sumCountersAvx2(__m256i counters)
{
    const __m256i sums = _mm256_sad_epu8(counters, _mm256_setzero_si256());
    return _mm256_extract_epi64(sums, 0) + _mm256_extract_epi64(sums, 1) + _mm256_extract_epi64(sums, 2) + _mm256_extract_epi64(sums, 3);
}

// Sixty-four bytes at a time from `at` until fewer than 64 remain before
// `to`: counts the line ends into `lineEnds` and stops at the first group
// where both anchors stand at their distance, which the caller then walks
// byte by byte. Reads 1 byte before `at` and up to the anchors' distance
// around each group.
__attribute__((target("avx2"))) void skipGroupsAvx2(const unsigned char* data, qsizetype& at, qsizetype to, const Anchors& anchors, ScanState& state)
{
    const qsizetype distance = anchors.second - anchors.first;
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i firstA = _mm256_set1_epi8(char(anchors.firstA));
    const __m256i firstB = _mm256_set1_epi8(char(anchors.firstB));
    const __m256i secondA = _mm256_set1_epi8(char(anchors.secondA));
    const __m256i secondB = _mm256_set1_epi8(char(anchors.secondB));
    __m256i counters = _mm256_setzero_si256();
    int rounds = 0; // each adds at most 2 to a byte counter
    while (at + 64 <= to) {
        const __m256i v0 = loadAvx2(data + at);
        const __m256i v1 = loadAvx2(data + at + 32);
        const __m256i w0 = loadAvx2(data + at + distance);
        const __m256i w1 = loadAvx2(data + at + distance + 32);
        const __m256i both0 = _mm256_and_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v0, firstA), _mm256_cmpeq_epi8(v0, firstB)),
                                               _mm256_or_si256(_mm256_cmpeq_epi8(w0, secondA), _mm256_cmpeq_epi8(w0, secondB)));
        const __m256i both1 = _mm256_and_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v1, firstA), _mm256_cmpeq_epi8(v1, firstB)),
                                               _mm256_or_si256(_mm256_cmpeq_epi8(w1, secondA), _mm256_cmpeq_epi8(w1, secondB)));
        const __m256i both = _mm256_or_si256(both0, both1);
        if (!_mm256_testz_si256(both, both))
            break;
        const __m256i before0 = loadAvx2(data + at - 1);
        const __m256i before1 = loadAvx2(data + at + 31);
        const __m256i ends0 = _mm256_or_si256(_mm256_cmpeq_epi8(v0, cr), _mm256_andnot_si256(_mm256_cmpeq_epi8(before0, cr), _mm256_cmpeq_epi8(v0, lf)));
        const __m256i ends1 = _mm256_or_si256(_mm256_cmpeq_epi8(v1, cr), _mm256_andnot_si256(_mm256_cmpeq_epi8(before1, cr), _mm256_cmpeq_epi8(v1, lf)));
        counters = _mm256_sub_epi8(_mm256_sub_epi8(counters, ends0), ends1);
        if (++rounds == 127) {
            state.lineEnds += sumCountersAvx2(counters);
            counters = _mm256_setzero_si256();
            rounds = 0;
        }
        at += 64;
    }
    state.lineEnds += sumCountersAvx2(counters);
    state.lastWasCr = data[at - 1] == '\r';
}
#endif

// Looks at bytes [from, to) of `data` (valid up to `end`): returns the place
// of the first anchor whose needle matches on a line after the target's, or
// `to`, with the line ends before it counted into `state`.
qsizetype scanRange(const unsigned char* data, qsizetype from, qsizetype to, qsizetype end, const ScanTarget& target, ScanState& state)
{
    const QByteArray& needle = *target.needle;
    const Anchors& anchors = target.anchors;
    const auto step = [&](qsizetype at) {
        const unsigned char c = data[at];
        if (c == anchors.firstA || c == anchors.firstB) {
            const qsizetype start = at - anchors.first;
            if (start >= 0 && start + needle.size() <= end && state.lineEnds + 1 > target.afterLine && matchesAt(data + start, needle, *target.fold))
                return true;
        }
        state.lineEnds += (c == '\r' || (c == '\n' && !state.lastWasCr)) ? 1 : 0;
        state.lastWasCr = c == '\r';
        return false;
    };

    qsizetype at = from;
    // The wide loop reads the byte before each group, and the second
    // anchor's bytes, which may lie before the first's.
    for (const qsizetype stop = std::min(to, from + std::max<qsizetype>(1, anchors.first - anchors.second)); at < stop; ++at) {
        if (step(at))
            return at;
    }
    while (at < to) {
#if defined(__x86_64__)
        if (hasAvx2())
            skipGroupsAvx2(data, at, to, anchors, state);
#endif
        for (const qsizetype stop = std::min(at + 64, to); at < stop; ++at) {
            if (step(at))
                return at;
        }
    }
    return to;
}

struct ShareResult {
    bool found = false;
    bool failed = false;
    qint64 lineEnds = 0; // before the hit, or in the whole share
    QString error;
};

// The anchors that stand at file offsets [from, to) (to: -1 for the rest of
// the file, however far it has grown): whether one belongs to a hit on a
// line after target.afterLine, line ends counted from `lineEndsBefore`.
// One pass through a reused buffer, looking at each byte once: line ends are
// counted, and the needle is compared only where its two anchor bytes stand
// at their distance. A needle holds no line end, so a match never spans two
// lines and the anchor's line is the match's line. The last needle-length
// bytes of each read wait for the next one, so matches across reads are
// found once. Touches only its own buffer: shares run on threads of their own.
ShareResult scanShare(const ReadOnlyFile& file, qint64 from, qint64 to, qint64 lineEndsBefore, const ScanTarget& target,
                      qsizetype readSize, const std::atomic_bool* abandon)
{
    const qsizetype n = target.needle->size();
    const qsizetype k = target.anchors.first;
    // Room for the bytes kept from the last read (under 2n), one read, and
    // the anchors' loads that run up to n + 64 bytes past the last byte.
    QByteArray storage(3 * n + readSize + 64, '\0');
    auto* buffer = reinterpret_cast<unsigned char*>(storage.data());

    // The bytes before `from` that a needle may start in, and the byte before it.
    qint64 bufferAt = std::max<qint64>(0, from - std::max<qsizetype>(k, 1));
    qsizetype pos = qsizetype(from - bufferAt); // first anchor place not yet looked at
    qsizetype end = 0;                          // one past the last byte read
    ScanState state{lineEndsBefore, false};
    bool primed = false;
    for (bool eof = false; !eof;) {
        if (abandon && abandon->load(std::memory_order_relaxed))
            return {};
        // Keep k bytes before `pos` so a needle whose anchor is yet to come
        // can still be compared from its start.
        const qsizetype keepFrom = std::clamp<qsizetype>(pos - k, 0, end);
        std::memmove(buffer, buffer + keepFrom, size_t(end - keepFrom));
        pos -= keepFrom;
        end -= keepFrom;
        bufferAt += keepFrom;
        const qint64 room = to < 0 ? readSize : std::min<qint64>(readSize, to + n - (bufferAt + end));
        QString error;
        const qint64 got = room > 0 ? file.readAt(bufferAt + end, reinterpret_cast<char*>(buffer + end), room, &error) : 0;
        if (got < 0)
            return {false, true, 0, error};
        eof = got == 0;
        end += got;
        if (!primed && pos <= end) {
            state.lastWasCr = pos > 0 && buffer[pos - 1] == '\r';
            primed = true;
        }
        qsizetype stop = eof ? end : end - (n - 1);
        if (to >= 0)
            stop = std::min<qsizetype>(stop, qsizetype(to - bufferAt));
        if (primed && pos < stop) {
            if (scanRange(buffer, pos, stop, end, target, state) < stop)
                return {true, false, state.lineEnds, {}};
            pos = stop;
        }
        if (to >= 0 && bufferAt + pos >= to)
            break;
    }
    return {false, false, state.lineEnds, {}};
}

} // namespace

// The file in shares, one per thread, each scanned for its first hit and
// its line ends at once; then in file order, the first hit after the line
// asked for, a share whose first hit lies before it scanned again from there.
LineSearchResult findLineAfter(const QString& nativePath, const QString& text, qint64 afterLine, qsizetype readSize,
                               const std::atomic_bool* abandon, int threads)
{
    ReadOnlyFile file;
    QString error;
    if (!file.open(nativePath, &error))
        return {LineSearchResult::Outcome::Unreadable, 0, error};

    static const FoldTable fold = makeFoldTable();
    const std::optional<QByteArray> needle = foldedNeedle(text, fold);
    if (!needle)
        return {};
    const ScanTarget anywhere{&*needle, &fold, pickAnchors(*needle, fold), 0};
    ScanTarget after = anywhere;
    after.afterLine = afterLine;
    readSize = qMax<qsizetype>(readSize, 1);

    const qint64 size = std::max<qint64>(0, file.status().size);
    const int shares = int(std::clamp<qint64>(size, 1, std::max(1, threads)));
    std::vector<ShareResult> results{std::size_t(shares), ShareResult{}};
    const auto shareStart = [&](int share) { return size / shares * share; };
    const auto shareEnd = [&](int share) { return share + 1 == shares ? qint64(-1) : shareStart(share + 1); };
    std::vector<std::thread> helpers;
    for (int share = 1; share < shares; ++share) {
        helpers.emplace_back([&, share] {
            results[std::size_t(share)] = scanShare(file, shareStart(share), shareEnd(share), 0, anywhere, readSize, abandon);
        });
    }
    results[0] = scanShare(file, 0, shareEnd(0), 0, after, readSize, abandon);
    for (std::thread& helper : helpers)
        helper.join();

    qint64 lineEnds = 0;
    for (int share = 0; share < shares; ++share) {
        ShareResult result = results[std::size_t(share)];
        if (result.failed)
            return {LineSearchResult::Outcome::Unreadable, 0, result.error};
        if (share > 0 && result.found && lineEnds + result.lineEnds + 1 <= afterLine)
            result = scanShare(file, shareStart(share), shareEnd(share), lineEnds, after, readSize, abandon);
        else if (share > 0)
            result.lineEnds += lineEnds;
        if (result.failed)
            return {LineSearchResult::Outcome::Unreadable, 0, result.error};
        if (result.found)
            return {LineSearchResult::Outcome::Found, result.lineEnds + 1, {}};
        lineEnds = result.lineEnds;
    }
    return {};
}

} // namespace qelvrin
