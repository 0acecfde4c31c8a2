#include "pdf_text.h"
#include "support/viewer_fixture.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kReport = QStringLiteral("\\QELVRIN\\TDEFECT.TXT");

// The lines of a page's text, without the blank ones pdftotext adds.
QStringList textLines(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(u'\n')) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty() && trimmed != QStringLiteral("\f"))
            lines.append(trimmed);
    }
    return lines;
}

} // namespace

class TestViewPrint : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_out;
    QString m_pdf;
    QStringList m_captions;

    // Prints through the menu command into a PDF file, keeping every caption
    // the window shows meanwhile.
    void printToPdf(ViewFile& view)
    {
        const QString pdf = m_pdf;
        m_fixture->dialogs.queuePrinter(std::function<void(QPrinter&)>([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }));
        m_captions.clear();
        const auto connection = connect(&view, &QWidget::windowTitleChanged, this,
                                        [this](const QString& caption) { m_captions.append(caption); });
        view.findChild<QAction*>(QStringLiteral("mnuprint"))->trigger();
        disconnect(connection);
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto& call : m_fixture->dialogs.messages())
            texts.append(call.text);
        return texts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (popplerTool(QStringLiteral("pdfinfo")).isEmpty() || popplerTool(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdfinfo and pdftotext (poppler-utils) are needed to read the printout back");
    }

    void init()
    {
        m_fixture = std::make_unique<ViewerFixture>();
        m_out = std::make_unique<QTemporaryDir>();
        m_pdf = m_out->filePath(QStringLiteral("printout.pdf"));
    }

    void cleanup()
    {
        QVERIFY(m_fixture->dialogs.allAnswersUsed());
        m_fixture.reset();
        QVERIFY(pointerIsDefault());
    }

    void formFeedsOnLines40And80_giveThreePages()
    {
        ViewFile& view = m_fixture->open(kReport, numberedLines(100, {}, {40, 80}));
        const QString caption = view.windowTitle();

        printToPdf(view);

        QCOMPARE(m_fixture->dialogs.boxes(), QStringList{ScriptedDialogs::box(QStringLiteral("Printed 3 pages"), MsgIcon::None, MsgButtons::Ok,
                                                                               QStringLiteral("QELVRIN: Print"))});
        QCOMPARE(m_captions, (QStringList{QStringLiteral("Printing page 2"), QStringLiteral("Printing page 3"), caption}));
        QCOMPARE(view.windowTitle(), caption);

        QCOMPARE(pdfPageCount(m_pdf), 3);
        const QStringList page2 = textLines(pdfPageText(m_pdf, 2));
        QCOMPARE(page2.first(), QStringLiteral("line 40"));
        QCOMPARE(page2.last(), QStringLiteral("line 79"));
        QCOMPARE(textLines(pdfPageText(m_pdf, 3)).first(), QStringLiteral("line 80"));
    }

    void lineOfTwoFormFeeds_keepsTheSecond()
    {
        ViewFile& view = m_fixture->open(kReport, QByteArray("first\r\n\f\fsecond page\r\nlast\r\n"));

        printToPdf(view);

        QCOMPARE(messageTexts(), QStringList{QStringLiteral("Printed 2 pages")});
        QCOMPARE(pdfPageCount(m_pdf), 2);
        const QStringList page2 = textLines(pdfPageText(m_pdf, 2));
        QCOMPARE(page2.size(), 2);
        QVERIFY(page2[0].endsWith(QStringLiteral("second page")));
        QCOMPARE(page2[1], QStringLiteral("last"));
    }

    void longLine_isCutNotWrapped()
    {
        QByteArray wide;
        for (int word = 0; word < 60; ++word)
            wide += "W" + QByteArray::number(100 + word) + "   ";
        ViewFile& view = m_fixture->open(kReport, "before\r\n" + wide + "\r\nafter\r\n");

        printToPdf(view);

        QCOMPARE(pdfPageCount(m_pdf), 1);
        const QStringList lines = textLines(pdfPageText(m_pdf, 1));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("before"));
        QVERIFY(lines[1].startsWith(QStringLiteral("W100   W101")));
        QVERIFY2(!lines[1].contains(QStringLiteral("W159")), qPrintable(lines[1]));
        QCOMPARE(lines[2], QStringLiteral("after"));
    }

    void fileLongerThanAPage_countsEveryPage()
    {
        ViewFile& view = m_fixture->open(kReport, numberedLines(300));

        printToPdf(view);

        const int pages = pdfPageCount(m_pdf);
        QVERIFY(pages > 1);
        QCOMPARE(messageTexts(), QStringList{QStringLiteral("Printed %1 pages").arg(pages)});
        QStringList printed;
        for (int page = 1; page <= pages; ++page)
            printed += textLines(pdfPageText(m_pdf, page));
        QCOMPARE(printed, QString::fromLatin1(numberedLines(300)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts));
        QVERIFY(m_captions.filter(QStringLiteral("Printing page")).isEmpty()); // no form feed, no page caption
    }

    void viewerScrolledToTheMiddle_printsFromLine1()
    {
        ViewFile& view = m_fixture->open(kReport, numberedLines(60));
        view.vscroll1()->setValue(30);

        printToPdf(view);

        QCOMPARE(textLines(pdfPageText(m_pdf, 1)).first(), QStringLiteral("line 1"));
        QCOMPARE(view.vscroll1()->value(), 30);
    }
};

QTEST_MAIN(TestViewPrint)
#include "tst_view_print.moc"
