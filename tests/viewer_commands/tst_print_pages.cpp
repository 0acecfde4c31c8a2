#include "platform/line_reader.h"
#include "support/numbered_lines.h"
#include "viewer/print_pages.h"
#include "support/file_writer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::LineReader;
using qelvrin::PageSink;
using qelvrin::PrintedPages;
using qelvrin::testing::numberedLines;

namespace {

using Page = QList<QByteArray>;

// Keeps what would go on paper, page by page, and checks that every line
// lands on the next free row.
class PageRecorder : public PageSink {
public:
    explicit PageRecorder(int rows, int refuseAtPage = 0) : m_rows(rows), m_refuseAtPage(refuseAtPage) {}

    int linesPerPage() const override { return m_rows; }
    void printLine(int row, QByteArrayView text) override
    {
        QCOMPARE(row, pages.last().size());
        QVERIFY(row < m_rows);
        pages.last().append(text.toByteArray());
    }
    bool newPage() override
    {
        if (pages.size() + 1 == m_refuseAtPage)
            return false;
        pages.append(Page{});
        return true;
    }

    QList<Page> pages{Page{}};

private:
    int m_rows;
    int m_refuseAtPage;
};

Page numbers(int from, int to)
{
    Page page;
    for (int i = from; i <= to; ++i)
        page.append("line " + QByteArray::number(i));
    return page;
}

} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QByteArray& bytes) { return qelvrin::testing::writeFile(m_dir, QStringLiteral("report.txt"), bytes); }

private Q_SLOTS:
    void breaksPages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<Page>>("expectedPages");
        QTest::addColumn<QList<int>>("expectedStarts");

        QTest::newRow("form feed on the first line")
            << numberedLines(3, {}, {1}) << 60 << QList<Page>{numbers(1, 3)} << QList<int>{1};
        QTest::newRow("empty file") << QByteArray() << 60 << QList<Page>{Page{}} << QList<int>{};
    }

    void breaksPages()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(QList<Page>, expectedPages);
        QFETCH(QList<int>, expectedStarts);

        LineReader reader(writeFile(bytes));
        PageRecorder sink(rows);
        QList<int> starts;
        const PrintedPages result = printPages(reader, sink, [&](int page) { starts.append(page); });

        QCOMPARE(result.outcome, PrintedPages::Outcome::Done);
        QCOMPARE(sink.pages, expectedPages);
        QCOMPARE(result.pages, int(expectedPages.size()));
        QCOMPARE(starts, expectedStarts);
    }

    void printerRefusingAPage_stopsThere()
    {
        LineReader reader(writeFile(numberedLines(100, {}, {40, 80})));
        PageRecorder sink(60, 3);
        const PrintedPages result = printPages(reader, sink, [](int) {});
        QCOMPARE(result.outcome, PrintedPages::Outcome::PrinterFailed);
        QCOMPARE(result.pages, 2);
        QCOMPARE(sink.pages, (QList<Page>{numbers(1, 39), numbers(40, 79)}));
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
