#include "pdf_text.h"
#include "support/viewer_fixture.h"

#include <QPrinter>
#include <QTemporaryDir>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// The lines of a page's text, without the blank ones pdftotext adds.
QStringList textLines(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty() && line.trimmed() != QStringLiteral("\f"))
            lines.append(line.trimmed());
    }
    return lines;
}

} // namespace

// The Print command into a PDF file, read back: every line on the pages the
// form feeds and the paper's length give, a long line cut at the paper's
// edge, the captions meanwhile.
class TestViewPrint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (popplerTool(QStringLiteral("pdfinfo")).isEmpty() || popplerTool(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the printout back");
    }

    void reportWithFormFeeds_printsEveryLineFromLineOne()
    {
        QByteArray wide = " ";
        for (int word = 100; word < 160; ++word)
            wide += "W" + QByteArray::number(word) + "   ";
        ViewerFixture fixture;
        ViewFile& view = fixture.open(QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), numberedLines(300, {{10, wide}}, {40, 80}));
        view.vscroll1()->setValue(30);
        const QString caption = view.windowTitle();
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("printout.pdf"));
        fixture.dialogs.queuePrinter(std::function<void(QPrinter&)>([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }));
        QStringList captions;
        connect(&view, &QWidget::windowTitleChanged, this, [&](const QString& shown) { captions.append(shown); });

        view.findChild<QAction*>(QStringLiteral("mnuprint"))->trigger();

        // Lines 80 to 300 run over more than one page.
        const int pages = pdfPageCount(pdf);
        QVERIFY(pages > 3);
        QCOMPARE(fixture.dialogs.messages().first().text, QStringLiteral("Printed %1 pages").arg(pages));
        QCOMPARE(captions, (QStringList{QStringLiteral("Printing page 2"), QStringLiteral("Printing page 3"), caption}));
        QCOMPARE(view.vscroll1()->value(), 30);
        QVERIFY(pointerIsDefault());
        QList<QStringList> printed;
        QStringList all;
        for (int page = 1; page <= pages; ++page)
            all += printed.emplace_back(textLines(pdfPageText(pdf, page)));
        QCOMPARE(printed.at(1).first(), QStringLiteral("line 40"));
        QCOMPARE(printed.at(2).first(), QStringLiteral("line 80"));
        const QString cut = all.at(9);
        QVERIFY2(cut.startsWith(QStringLiteral("line 10 W100   W101")) && !cut.contains(QStringLiteral("W159")), qPrintable(cut));
        all[9] = QStringLiteral("line 10");
        QCOMPARE(all, QString::fromLatin1(numberedLines(300)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
    }
};

QTEST_MAIN(TestViewPrint)
#include "tst_view_print.moc"
