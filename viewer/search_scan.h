#pragma once

#include <QString>

#include <atomic>

namespace qelvrin {

struct LineSearchResult {
    enum class Outcome { Found, NotFound, Unreadable };
    Outcome outcome = Outcome::NotFound;
    qint64 line = 0; // Found: the line's number, counted from 1
    QString error;   // Unreadable: the system's reason
};

// Reads the file from disk and finds the first line after line `afterLine`
// that contains `text`, letters matching in either case (Latin-1 capitals,
// one byte per character). Lines are numbered as LineReader splits them
// (CR LF, lone CR, lone LF), so the number is the line's number in the view.
// A text that cannot occur in a line (empty, a line end in it, characters
// beyond Latin-1) is never found. `readSize` is the number of bytes read at
// a time; small values exist for tests of the boundaries. Setting `abandon`
// (from any thread) ends the reading early, as not found. The file is read
// in `threads` shares at once, each through a buffer of its own.
LineSearchResult findLineAfter(const QString& nativePath, const QString& text, qint64 afterLine,
                               qsizetype readSize = 256 * 1024, const std::atomic_bool* abandon = nullptr, int threads = 1);

} // namespace qelvrin
