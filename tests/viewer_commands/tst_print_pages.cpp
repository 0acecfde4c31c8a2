#include "platform/line_reader.h"
#include "viewer/print_pages.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::LineReader;
using qelvrin::PageSink;
using qelvrin::PrintedPages;

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

QByteArray numberedLines(int count, const QList<int>& formFeedAt)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += (formFeedAt.contains(i) ? "\f" : "") + QByteArray::number(i) + "\r\n";
    return bytes;
}

Page numbers(int from, int to)
{
    Page page;
    for (int i = from; i <= to; ++i)
        page.append(QByteArray::number(i));
    return page;
}

} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("report.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return path;
    }

private Q_SLOTS:
    void breaksPages_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<Page>>("expectedPages");
        QTest::addColumn<QList<int>>("expectedStarts");

        QTest::newRow("form feeds on 40 and 80")
            << numberedLines(100, {40, 80}) << 60 << QList<Page>{numbers(1, 39), numbers(40, 79), numbers(80, 100)}
            << QList<int>{2, 3};
        QTest::newRow("no form feed, one page") << numberedLines(5, {}) << 60 << QList<Page>{numbers(1, 5)}
                                                << QList<int>{};
        QTest::newRow("full pages counted")
            << numberedLines(130, {}) << 60 << QList<Page>{numbers(1, 60), numbers(61, 120), numbers(121, 130)}
            << QList<int>{};
        QTest::newRow("form feed right after a full page")
            << numberedLines(70, {61}) << 60 << QList<Page>{numbers(1, 60), numbers(61, 70)} << QList<int>{2};
        QTest::newRow("form feed on the first line")
            << numberedLines(3, {1}) << 60 << QList<Page>{numbers(1, 3)} << QList<int>{1};
        QTest::newRow("form feed alone is an empty top line")
            << QByteArray("a\r\n\f\r\nb\r\n") << 60 << QList<Page>{Page{"a"}, Page{"", "b"}} << QList<int>{2};
        QTest::newRow("two form feeds lose one")
            << QByteArray("a\r\n\f\fb\r\n") << 60 << QList<Page>{Page{"a"}, Page{"\fb"}} << QList<int>{2};
        QTest::newRow("form feed inside a line is text")
            << QByteArray("a\fb\r\n") << 60 << QList<Page>{Page{"a\fb"}} << QList<int>{};
        QTest::newRow("empty file") << QByteArray() << 60 << QList<Page>{Page{}} << QList<int>{};
        QTest::newRow("one row a page") << QByteArray("a\rb\nc") << 1 << QList<Page>{Page{"a"}, Page{"b"}, Page{"c"}}
                                        << QList<int>{};
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
        LineReader reader(writeFile(numberedLines(100, {40, 80})));
        PageRecorder sink(60, 3);
        const PrintedPages result = printPages(reader, sink, [](int) {});
        QCOMPARE(result.outcome, PrintedPages::Outcome::PrinterFailed);
        QCOMPARE(result.pages, 2);
        QCOMPARE(sink.pages, (QList<Page>{numbers(1, 39), numbers(40, 79)}));
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
