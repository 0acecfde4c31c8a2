#include "standin/defect_report.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin::standin;

class TestDefectReport : public QObject {
    Q_OBJECT

private:
    static QByteArrayList written(const DefectReport& report)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("R.TXT"));
        QString error;
        if (!report.writeTo(path, &error))
            return {};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QByteArray bytes = file.readAll();
        if (!bytes.endsWith("\r\n"))
            return {};
        bytes.chop(1);
        return bytes.split('\n');
    }

private Q_SLOTS:
    void pages_holdSixtyLinesAndStartWithFormFeed_data()
    {
        QTest::addColumn<int>("bodyLines");
        QTest::addColumn<int>("pages");
        // Each page spends five lines on its header; the section heading
        // and its underline add two body lines.
        QTest::newRow("nothing but the section") << 0 << 1;
        QTest::newRow("exactly one page") << 53 << 1;
        QTest::newRow("one line over") << 54 << 2;
        QTest::newRow("several pages") << 300 << 6;
    }

    void pages_holdSixtyLinesAndStartWithFormFeed()
    {
        QFETCH(int, bodyLines);
        QFETCH(int, pages);
        DefectReport report("Title", "Subtitle");
        report.startSection("Section", "Columns");
        for (int i = 0; i < bodyLines; ++i)
            report.add("line " + QByteArray::number(i));
        QCOMPARE(report.pageCount(), pages);

        const QByteArrayList lines = written(report);
        QVERIFY(!lines.isEmpty());
        QList<int> pageStarts{0};
        for (int i = 0; i < lines.size(); ++i) {
            QVERIFY2(lines.at(i).endsWith('\r'), "every line ends with CR LF");
            if (lines.at(i).startsWith('\f'))
                pageStarts.append(i);
        }
        QCOMPARE(pageStarts.size(), pages);
        for (int p = 0; p < pages; ++p) {
            const int end = p + 1 < pages ? pageStarts.at(p + 1) : static_cast<int>(lines.size());
            if (p + 1 < pages)
                QCOMPARE(end - pageStarts.at(p), DefectReport::kPageLines);
            QByteArray top = lines.at(pageStarts.at(p));
            top.chop(1);
            if (p > 0)
                top.remove(0, 1);
            QCOMPARE(top.size(), DefectReport::kWidth);
            QVERIFY(top.startsWith("Title"));
            QVERIFY(top.endsWith("Page " + QByteArray::number(p + 1)));
            QVERIFY(lines.at(pageStarts.at(p) + 3).startsWith("Columns"));
        }
        QCOMPARE(lines.size(), pages * 5 + 2 + bodyLines);
    }

    void longLines_areCutAt133()
    {
        DefectReport report("T", "S");
        report.add(QByteArray(200, 'x'));
        const QByteArrayList lines = written(report);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(lines.last().size(), DefectReport::kWidth + 1);
    }

    void sectionStartingOnLaterPage_showsItsColumns()
    {
        DefectReport report("T", "S");
        report.startSection("First", "Columns of first");
        for (int i = 0; i < 53; ++i)
            report.add("x");
        report.startSection("Second", "Columns of second");
        report.add("y");
        const QByteArrayList lines = written(report);
        QCOMPARE(report.pageCount(), 2);
        QVERIFY(lines.at(3).startsWith("Columns of first"));
        // The second page begins with the blank line before the new section.
        QVERIFY(lines.at(63).startsWith("Columns of second"));
    }

    void unwritablePath_reportsError()
    {
        DefectReport report("T", "S");
        QString error;
        QVERIFY(!report.writeTo(QStringLiteral("/nonexistent-dir/R.TXT"), &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDefectReport)
#include "tst_defect_report.moc"
