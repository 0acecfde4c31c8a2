// Print pagination: every line is printed once, in order, less one leading
// form feed; a new page starts only where a form feed starts a line or the
// page is full, and a form-feed line is always first on its page.
#include "fuzz_input.h"
#include "platform/line_reader.h"
#include "support/reference_lines.h"
#include "viewer/print_pages.h"

using namespace qelvrin;
using fuzz::require;

namespace {

class PageRecorder : public PageSink {
public:
    explicit PageRecorder(int rows) : m_rows(rows) {}
    int linesPerPage() const override { return m_rows; }
    void printLine(int row, QByteArrayView text) override
    {
        require(row == pages.last().size(), "rows are filled in turn");
        pages.last().append(text.toByteArray());
    }
    bool newPage() override
    {
        pages.append(QList<QByteArray>());
        return true;
    }

    QList<QList<QByteArray>> pages{{}};

private:
    int m_rows;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file = fuzz::bytes(data, size);
    const int rows = 1 + fuzz::takeByte(file) % 8;
    LineReader reader(fuzz::scratchFile(QStringLiteral("report.txt"), file));
    PageRecorder sink(rows);
    QList<int> formFeedPages;
    const PrintedPages result = printPages(reader, sink, [&](int page) { formFeedPages.append(page); });
    require(result.outcome == PrintedPages::Outcome::Done && result.pages == sink.pages.size(), "all pages counted");

    const QList<QByteArray> lines = testing::splitLines(file);
    qsizetype next = 0;
    QList<int> expectedFormFeedPages;
    for (qsizetype page = 0; page < sink.pages.size(); ++page) {
        const QList<QByteArray>& printed = sink.pages[page];
        require(!printed.isEmpty() || lines.isEmpty(), "no empty page");
        require(printed.size() <= rows, "a page holds at most its rows");
        for (qsizetype row = 0; row < printed.size(); ++row, ++next) {
            const bool formFeed = lines[next].startsWith('\f');
            require(printed[row] == lines[next].mid(formFeed ? 1 : 0), "each line once, in order, less its form feed");
            require(!formFeed || row == 0, "a form feed starts a page");
            if (formFeed)
                expectedFormFeedPages.append(int(page + 1));
        }
        if (page > 0)
            require(lines[next - printed.size()].startsWith('\f') || sink.pages[page - 1].size() == rows,
                    "a page break only at a form feed or a full page");
    }
    require(next == lines.size(), "every line printed");
    require(formFeedPages == expectedFormFeedPages, "each form feed announces its page");
    return 0;
}
