#include "support/viewer_fixture.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// What the PDF queue has printed so far, newest first.
QStringList queueOutput()
{
    return QDir(QDir::homePath() + QStringLiteral("/PDF")).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
}

// The page count pdfinfo reports; 0 when it cannot tell.
int pdfPageCount(const QString& pdf)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {pdf});
    if (!pdfinfo.waitForFinished(30000) || pdfinfo.exitCode() != 0)
        return 0;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption);
    return pages.match(QString::fromUtf8(pdfinfo.readAllStandardOutput())).captured(1).toInt();
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
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
            QSKIP("pdfinfo (poppler-utils) is needed to count the printed pages");
    }

    void formFeedsOnLines40And80_reachTheQueueAsThreePages()
    {
        ViewerFixture fixture;
        ViewFile& view = fixture.open(QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), numberedLines(100, {}, {40, 80}));
        const QStringList before = queueOutput();
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter().isNull() ? QPrinterInfo::availablePrinters().first()
                                                                             : QPrinterInfo::defaultPrinter();
        const QString name = printer.printerName();
        fixture.dialogs.queuePrinter(std::function<void(QPrinter&)>([name](QPrinter& p) { p.setPrinterName(name); }));
        view.mnuprint_Click();
        QTRY_COMPARE(fixture.dialogs.boxes().size(), 1);
        QCOMPARE(fixture.dialogs.messages()[0].text, QStringLiteral("Printed 3 pages"));
        QString printed;
        const auto printedThreePages = [&] {
            const QStringList now = queueOutput();
            printed = now.isEmpty() || before.contains(now.first()) ? QString() : QDir::homePath() + QStringLiteral("/PDF/") + now.first();
            return !printed.isEmpty() && pdfPageCount(printed) == 3;
        };
        QTRY_VERIFY_WITH_TIMEOUT(printedThreePages(), 60000);
        QFile::remove(printed);
    }
};

QTEST_MAIN(TestViewPrintCups)
#include "tst_view_print_cups.moc"
