// The search scan finds the same line as a line-by-line search, for any
// text and any search string. Input: a byte for the starting line, a byte
// for the read size, the search string's line, then the file.
#include "fuzz_input.h"
#include "viewer/search_scan.h"
#include "viewer_commands/search_reference.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file = fuzz::bytes(data, size);
    const qint64 after = fuzz::takeByte(file) % 16;
    // Small reads put CR LF pairs, hits and line ends on every boundary.
    const qsizetype readSize = 1 + fuzz::takeByte(file) % 96;
    const QByteArray needle = fuzz::takeLine(file);
    const QString path = fuzz::scratchFile(QStringLiteral("search.log"), file);

    const LineSearchResult result = findLineAfter(path, QString::fromLatin1(needle), after, readSize);
    require(result.outcome != LineSearchResult::Outcome::Unreadable, "the file is read");
    const qint64 found = result.outcome == LineSearchResult::Outcome::Found ? result.line : 0;
    // An empty text is never found.
    require(found == (needle.isEmpty() ? 0 : testing::referenceFind(path, needle, after)), "the same line as line by line");
    return 0;
}
