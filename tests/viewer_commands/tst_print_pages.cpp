#include "viewer/print_pages.h"

#include "platform/line_reader.h"
#include "support/file_writer.h"
#include "support/numbered_lines.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::numberedLines;

namespace {

// Keeps the lines of each page, 60 to a page; can refuse a page.
class PageRecorder : public PageSink {
public:
    explicit PageRecorder(int refuseAtPage) : m_refuseAtPage(refuseAtPage) {}

    int linesPerPage() const override { return 60; }
    void printLine(int row, QByteArrayView text) override
    {
        QCOMPARE(row, pages.last().size());
        pages.last().append(text.toByteArray());
    }
    bool newPage() override
    {
        if (pages.size() + 1 == m_refuseAtPage)
            return false;
        pages.append(QByteArrayList());
        return true;
    }

    QList<QByteArrayList> pages{{}};

private:
    int m_refuseAtPage;
};

} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // The page captions the starts give are the print window test's.
    void printPages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("refuseAtPage");
        QTest::addColumn<QList<int>>("lines");      // on each page
        QTest::addColumn<QByteArrayList>("firsts"); // first line of each page
        QTest::addColumn<bool>("printerFailed");
        QTest::newRow("form feed on line 1 starts no second page")
            << numberedLines(3, {}, {1}) << 0 << QList<int>{3} << QByteArrayList{"line 1"} << false;
        QTest::newRow("a line of two form feeds keeps the second") << QByteArray("first\r\n\f\fsecond\r\nlast\r\n") << 0 << QList<int>{1, 2}
                                                                   << QByteArrayList{"first", "\fsecond"} << false;
        QTest::newRow("a full page runs on to the next") << numberedLines(130) << 0 << QList<int>{60, 60, 10}
                                                         << QByteArrayList{"line 1", "line 61", "line 121"} << false;
        QTest::newRow("printer refusing page 3 stops there") << numberedLines(100, {}, {40, 80}) << 3 << QList<int>{39, 40}
                                                             << QByteArrayList{"line 1", "line 40"} << true;
    }
    void printPages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, refuseAtPage);
        QFETCH(QList<int>, lines);
        QFETCH(QByteArrayList, firsts);
        QFETCH(bool, printerFailed);
        LineReader reader(qelvrin::testing::writeFile(m_dir, QStringLiteral("report.txt"), bytes));
        PageRecorder sink(refuseAtPage);

        const PrintedPages result = qelvrin::printPages(reader, sink, [](int) {});

        QList<int> printedLines;
        QByteArrayList printedFirsts;
        for (const QByteArrayList& page : sink.pages) {
            printedLines.append(page.size());
            printedFirsts.append(page.value(0));
        }
        QCOMPARE(printedLines, lines);
        QCOMPARE(printedFirsts, firsts);
        QCOMPARE(result.pages, lines.size());
        QCOMPARE(result.outcome, printerFailed ? PrintedPages::Outcome::PrinterFailed : PrintedPages::Outcome::Done);
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
