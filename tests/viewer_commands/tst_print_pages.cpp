#include "viewer/print_pages.h"

#include "platform/line_reader.h"
#include "support/file_writer.h"
#include "support/numbered_lines.h"

#include <QTemporaryDir>
#include <QTest>

using qelvrin::LineReader;
using qelvrin::PageSink;
using qelvrin::PrintedPages;
using qelvrin::testing::numberedLines;

namespace {

// Counts the lines that go on each page; a printer that can refuse a page.
class PageRecorder : public PageSink {
public:
    explicit PageRecorder(int refuseAtPage = 0) : m_refuseAtPage(refuseAtPage) {}

    int linesPerPage() const override { return 60; }
    void printLine(int row, QByteArrayView) override
    {
        QCOMPARE(row, linesOnPage.last());
        ++linesOnPage.last();
    }
    bool newPage() override
    {
        if (linesOnPage.size() + 1 == m_refuseAtPage)
            return false;
        linesOnPage.append(0);
        return true;
    }

    QList<int> linesOnPage{0};

private:
    int m_refuseAtPage;
};

} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void formFeedOnLineOne_startsNoSecondPage()
    {
        LineReader reader(qelvrin::testing::writeFile(m_dir, QStringLiteral("report.txt"), numberedLines(3, {}, {1})));
        PageRecorder sink;
        QList<int> starts;
        const PrintedPages result = printPages(reader, sink, [&](int page) { starts.append(page); });
        QCOMPARE(result.outcome, PrintedPages::Outcome::Done);
        QCOMPARE(sink.linesOnPage, QList<int>{3});
        QCOMPARE(starts, QList<int>{1});
    }

    void printerRefusingAPage_stopsThere()
    {
        LineReader reader(qelvrin::testing::writeFile(m_dir, QStringLiteral("report.txt"), numberedLines(100, {}, {40, 80})));
        PageRecorder sink(3);
        const PrintedPages result = printPages(reader, sink, [](int) {});
        QCOMPARE(result.outcome, PrintedPages::Outcome::PrinterFailed);
        QCOMPARE(result.pages, 2);
        QCOMPARE(sink.linesOnPage, (QList<int>{39, 40}));
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
