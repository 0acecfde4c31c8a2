#include "viewer/print_pages.h"

#include "platform/line_reader.h"
#include "support/file_writer.h"
#include "support/numbered_lines.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;

namespace {

// Keeps the lines of each page, 60 to a page; refuses a third page.
class PageRecorder : public PageSink {
public:
    int linesPerPage() const override { return 60; }
    void printLine(int, QByteArrayView text) override { pages.last().append(text.toByteArray()); }
    bool newPage() override
    {
        if (pages.size() == 2)
            return false;
        pages.append(QByteArrayList());
        return true;
    }

    QList<QByteArrayList> pages{{}};
};

} // namespace

// Where pages break is the fuzz replay's; a printer refusing a page stops
// the print there.
class TestPrintPages : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void printerRefusingPage3_stopsThere()
    {
        QTemporaryDir dir;
        LineReader reader(testing::writeFile(dir, QStringLiteral("report.txt"), testing::numberedLines(100, {}, {40, 80})));
        PageRecorder sink;
        const PrintedPages result = printPages(reader, sink, [](int) {});
        QCOMPARE(sink.pages.size(), 2);
        QCOMPARE(sink.pages.last().size(), 40);
        QCOMPARE(sink.pages.last().first(), "line 40");
        QCOMPARE(result.pages, 2);
        QCOMPARE(result.outcome, PrintedPages::Outcome::PrinterFailed);
    }
};

QTEST_GUILESS_MAIN(TestPrintPages)
#include "tst_print_pages.moc"
