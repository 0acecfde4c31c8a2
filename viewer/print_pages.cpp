#include "viewer/print_pages.h"

#include "platform/line_reader.h"

namespace qelvrin {

PrintedPages printPages(LineReader& reader, PageSink& sink, const std::function<void(int page)>& pageStarted,
                        const std::atomic_bool* abandoned)
{
    const int rows = qMax(1, sink.linesPerPage());
    PrintedPages result;
    int row = 0; // rows used on the current page; 0 only before the first line
    const auto startPage = [&] {
        if (!sink.newPage()) {
            result.outcome = PrintedPages::Outcome::PrinterFailed;
            return false;
        }
        ++result.pages;
        row = 0;
        return true;
    };

    while (const std::optional<QByteArrayView> line = reader.next()) {
        if (abandoned && abandoned->load(std::memory_order_relaxed)) {
            result.outcome = PrintedPages::Outcome::Abandoned;
            return result;
        }
        QByteArrayView text = *line;
        if (text.startsWith('\f')) {
            text = text.sliced(1);
            if (row > 0 && !startPage())
                return result;
            pageStarted(result.pages);
        }
        if (row == rows && !startPage())
            return result;
        sink.printLine(row++, text);
    }
    if (reader.readFailed())
        result.outcome = PrintedPages::Outcome::ReadFailed;
    return result;
}

} // namespace qelvrin
