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
    // Where pages break is the fuzz replay's; a printer refusing a page
    // stops the print there.
    void printerRefusingPage3_stopsThere()
    {
        LineReader reader(qelvrin::testing::writeFile(m_dir, QStringLiteral("report.txt"), numberedLines(100, {}, {40, 80})));
        PageRecorder sink(3);
        const PrintedPages result = qelvrin::printPages(reader, sink, [](int) {});
        QCOMPARE(sink.pages.size(), 2);
        QCOMPARE(sink.pages.last().size(), 40);
        QCOMPARE(sink.pages.last().first(), "line 40");
        QCOMPARE(result.pages, 2);
        QCOMPARE(result.outcome, PrintedPages::Outcome::PrinterFailed);
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
