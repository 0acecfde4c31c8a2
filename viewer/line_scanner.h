#pragma once

#include <QString>

#include <atomic>

namespace qelvrin {

class LineIndex;
class ReadOnlyFile;

struct ScanOutcome {
    bool done = false;   // false: unreadable (`error`) or abandoned
    QString error;
};

// Reads the open `file` from the end of `index` (where a line begins) to
// `end` and appends its lines. A line ends at CR LF, a lone CR or a lone
// LF; a last line without an end is indexed as such. Setting `abandon`
// (from any thread) ends the reading early, not done.
ScanOutcome scanLines(const ReadOnlyFile& file, LineIndex& index, qint64 end, const std::atomic_bool* abandon = nullptr);

// The same for the whole of `file` up to `end`, into `index` (emptied), on
// `threads` threads (fewer for a file of fewer bytes): each reads its share of the file into its own
// buffer and part of the index, and returns before this does.
ScanOutcome indexFile(const ReadOnlyFile& file, LineIndex& index, qint64 end, int threads, const std::atomic_bool* abandon = nullptr);

} // namespace qelvrin
