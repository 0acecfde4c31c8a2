#include "pdf_text.h"
#include "support/viewer_fixture.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSet>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// Where the PDF queue leaves what it prints.
QDir pdfQueueOutput()
{
    return QDir(QDir::homePath() + QStringLiteral("/PDF"));
}

QSet<QString> pdfFiles()
{
    const QStringList names = pdfQueueOutput().entryList({QStringLiteral("*.pdf")}, QDir::Files);
    return QSet<QString>(names.begin(), names.end());
}

} // namespace

// Printing through a real print queue. Runs where a printer is set up (the
// CI starts a scheduler with a PDF queue for it); skipped elsewhere.
class TestViewPrintCups : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("no printer: run under scripts/with-cups");
        if (popplerTool(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is needed to count the printed pages");
    }

    void formFeedsOnLines40And80_reachTheQueueAsThreePages()
    {
        ViewerFixture fixture;
        ViewFile& view = fixture.open(QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), numberedLines(100, {}, {40, 80}));
        const QSet<QString> before = pdfFiles();
        const QString printerName = QPrinterInfo::defaultPrinter().isNull()
            ? QPrinterInfo::availablePrinters().first().printerName()
            : QPrinterInfo::defaultPrinter().printerName();
        fixture.dialogs.queuePrinter(std::function<void(QPrinter&)>(
            [printerName](QPrinter& printer) { printer.setPrinterName(printerName); }));

        view.mnuprint_Click();

        QCOMPARE(fixture.dialogs.messages().size(), 1);
        QCOMPARE(fixture.dialogs.messages()[0].text, QStringLiteral("Printed 3 pages"));
        QString printed;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const QSet<QString> added = pdfFiles() - before;
                printed = added.isEmpty() ? QString() : pdfQueueOutput().filePath(*added.begin());
                return !printed.isEmpty() && pdfPageCount(printed) == 3;
            }(),
            60000);
        QFile::remove(printed);
    }
};

QTEST_MAIN(TestViewPrintCups)
#include "tst_view_print_cups.moc"
