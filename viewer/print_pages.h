#pragma once

#include <QByteArrayView>
#include <QString>

#include <atomic>
#include <functional>

namespace qelvrin {

class LineReader;

// Where printed lines go: a printer, or a recorder in tests.
class PageSink {
public:
    virtual ~PageSink() = default;
    // How many lines fit on a page; at least 1.
    virtual int linesPerPage() const = 0;
    // Draws one line, unwrapped, at `row` (from 0) of the current page.
    virtual void printLine(int row, QByteArrayView text) = 0;
    // False when the printer could not start the page.
    virtual bool newPage() = 0;
};

struct PrintedPages {
    enum class Outcome { Done, ReadFailed, PrinterFailed, Abandoned };
    Outcome outcome = Outcome::Done;
    int pages = 1; // the page number at the end (or where it stopped)
};

// Prints every line the reader gives. A line that begins with a form feed
// loses that one character and starts a new page, and `pageStarted` hears
// the new page's number; a page that fills up before the next form feed is
// followed by a new page too. The page number starts at 1, and a form feed
// on the file's first line does not waste a blank first page. Setting
// `abandoned` stops it before the next line.
PrintedPages printPages(LineReader& reader, PageSink& sink, const std::function<void(int page)>& pageStarted,
                        const std::atomic_bool* abandoned = nullptr);

} // namespace qelvrin
