#include "pdf_text.h"
#include "platform/qt_dialogs.h"
#include "support/real_dialogs.h"
#include "support/viewer_fixture.h"

#include <QDir>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// What the PDF queue has printed so far.
QStringList queueOutput()
{
    return QDir(QDir::homePath() + QStringLiteral("/PDF")).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
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
        const QStringList before = queueOutput();
        const QPrinterInfo printer = QPrinterInfo::defaultPrinter().isNull() ? QPrinterInfo::availablePrinters().first()
                                                                             : QPrinterInfo::defaultPrinter();
        const QString name = printer.printerName();
        fixture.dialogs.queuePrinter(std::function<void(QPrinter&)>([name](QPrinter& p) { p.setPrinterName(name); }));

        view.mnuprint_Click();

        QCOMPARE(fixture.dialogs.boxes().size(), 1);
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

    // Through the real print dialog: the queue gets every page, whatever
    // was tried there, and the count told is the count printed.
    void pagesTriedInTheDialog_allReachTheQueue_data()
    {
        QTest::addColumn<QString>("tried");
        QTest::newRow("pages 1 to 1") << "range";
        QTest::newRow("odd pages") << "page set";
    }
    void pagesTriedInTheDialog_allReachTheQueue()
    {
        QFETCH(QString, tried);
        QtDialogs dialogs;
        ViewerFixture fixture(&dialogs);
        ViewFile& view = fixture.open(QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), numberedLines(100, {}, {40, 80}));
        const QStringList before = queueOutput();
        QStringList offered;
        QString told;
        std::function<void()> answerTheCount = [&] {
            whenModal([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box)
                    return answerTheCount();
                told = box->text();
                box->accept();
            });
        };
        whenModal([&](QWidget* modal) {
            expandPrintOptions(modal);
            offered = pageChoicesShown(modal);
            choosePages(modal, tried);
            qobject_cast<QDialog*>(modal)->accept();
            answerTheCount();
        });

        view.mnuprint_Click();

        QCOMPARE(offered, QStringList());
        QCOMPARE(told, QStringLiteral("Printed 3 pages"));
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
