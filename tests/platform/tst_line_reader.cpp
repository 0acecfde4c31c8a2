#include "platform/line_reader.h"
#include "support/file_writer.h"

#include <QTemporaryDir>
#include <QTest>

using qelvrin::LineReader;

class TestLineReader : public QObject {
    Q_OBJECT

private:
    static QList<QByteArray> readAll(const QByteArray& bytes, qsizetype bufferSize)
    {
        QTemporaryDir dir;
        LineReader reader(qelvrin::testing::writeFile(dir, QStringLiteral("f.txt"), bytes), bufferSize);
        QList<QByteArray> lines;
        while (auto line = reader.next())
            lines.append(line->toByteArray());
        return lines;
    }

private Q_SLOTS:
    void splitsLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("expected");
        using L = QList<QByteArray>;
        QTest::newRow("empty file") << QByteArray() << L{};
        QTest::newRow("crlf lines") << QByteArray("A\r\nB\r\nC\r\n") << L{"A", "B", "C"};
        QTest::newRow("last line without end") << QByteArray("A\r\nB") << L{"A", "B"};
        QTest::newRow("lone cr") << QByteArray("A\rB\rC") << L{"A", "B", "C"};
        QTest::newRow("lone lf") << QByteArray("A\nB\n") << L{"A", "B"};
        QTest::newRow("lf cr is two ends") << QByteArray("A\n\rB") << L{"A", "", "B"};
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << L{"", ""};
        QTest::newRow("form feeds and NUL kept") << QByteArray("\f\fX\0Y\r\n", 7) << L{QByteArray("\f\fX\0Y", 5)};
        QTest::newRow("lines longer than a read") << QByteArray(40, 'a') + "\r" + QByteArray(33, 'b') + "\n" + QByteArray(20, 'c') + "\r\n"
                                                  << L{QByteArray(40, 'a'), QByteArray(33, 'b'), QByteArray(20, 'c')};
    }

    // Every buffer size, including ones that put CR and LF in different
    // reads and lines longer than the buffer, gives the same lines.
    void splitsLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, expected);
        for (qsizetype size : {16, 17, 18, 19, 1 << 20})
            QCOMPARE(readAll(bytes, size), expected);
    }

    void missingFile_isNotOpenAndYieldsNothing()
    {
        LineReader reader(QStringLiteral("/nonexistent/qelvrin/file"));
        QVERIFY(!reader.isOpen());
        QVERIFY(!reader.next().has_value());
    }
};

QTEST_GUILESS_MAIN(TestLineReader)
#include "tst_line_reader.moc"
