#pragma once

#include <QString>

#include <functional>

namespace qelvrin {

class LineIndex;
class ReadOnlyFile;

// Called now and then while a file is read; false abandons the reading.
using ReadPause = std::function<bool()>;

struct ScanOutcome {
    bool done = false;   // false: unreadable (`error`) or abandoned
    QString error;
};

// Reads the open `file` from the end of `index` (where a line begins) to
// the end of the file and appends its lines. A line ends at CR LF, a lone CR
// or a lone LF; a last line without an end is indexed as such.
ScanOutcome scanLines(const ReadOnlyFile& file, LineIndex& index, const ReadPause& pause = {});

} // namespace qelvrin
