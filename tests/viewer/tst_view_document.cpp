#include "viewer/view_document.h"

#include "document_files.h"

#include <QTest>

using qelvrin::ViewDocument;

namespace {

constexpr qint64 kBlock = ViewDocument::BlockSize;
const QByteArray kMark = QByteArray(ViewDocument::EndOfFileMark);

// A CR LF line of `length` characters.
QByteArray line(qint64 length)
{
    return QByteArray(length, 'x') + "\r\n";
}

} // namespace

class TestViewDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // How lines are stored and split over blocks is the randomized model's and
    // the fuzz replay's; a first line from position 20,001 on gets the start
    // of the next block too.
    void firstLineNearBlockEnd_getsNextBlockStartFrom20001_data()
    {
        QTest::addColumn<int>("lineOneLength");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("appended");
        QTest::newRow("starts at 20,000") << 19997 << 20000 << 0;
        QTest::newRow("starts at 20,001") << 19998 << 20001 << int(ViewDocument::NextBlockSpan);
    }
    void firstLineNearBlockEnd_getsNextBlockStartFrom20001()
    {
        QFETCH(int, lineOneLength);
        QFETCH(int, start);
        QFETCH(int, appended);
        const LoadedDocument document(line(lineOneLength) + line(20000) + line(20000));
        QCOMPARE(document->LineStart(2), start);
        const QByteArray shown = document->viewText(2);
        QCOMPARE(shown.size(), kBlock - start + 1 + appended);
        QCOMPARE(shown.right(appended), document->TextBlock(2).left(appended));
    }

    void moreThan30000Lines_areAllIndexed()
    {
        QByteArray file;
        for (int n = 1; n <= 40000; ++n)
            file += QByteArray::number(n) + "\r\n";
        const LoadedDocument document(file);
        QCOMPARE(document->LineCount(), 40000);
        QVERIFY(document->viewText(40000).startsWith("40000\r\n" + kMark));
        QVERIFY(document->viewText(30001).startsWith("30001\r\n30002\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestViewDocument)
#include "tst_view_document.moc"
