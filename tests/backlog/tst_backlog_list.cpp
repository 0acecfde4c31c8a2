// The one list reader every backlog command uses, and the summary rows made
// from the results.
#include "app/backlog/backlog_list.h"
#include "app/backlog/backlog_report.h"
#include "app/backlog/backlog_run.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin::backlog;

class TestBacklogList : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char* name : {"A.I01", "B.I01", "B.I04", "C D'\"x.I01"}) {
            QFile file(m_dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("names");   // N-<SDG> of each SDG line
        QTest::addColumn<QStringList>("lastFiles"); // the last line's files, as read
        QTest::addColumn<QString>("errors");

        QTest::newRow("LF") << QByteArray("A.I01\nB.I01\tsub/../B.I04\n") << QStringList{"1-A", "2-B"} << QStringList{"B.I01", "B.I04"} << "";
        QTest::newRow("CR LF, no end on the last") << QByteArray("A.I01\r\nB.I01\tB.I04") << QStringList{"1-A", "2-B"} << QStringList{"B.I01", "B.I04"} << "";
        QTest::newRow("blank, blanks and comments keep the numbers")
            << QByteArray("# lab 7\r\n\r\n \t\nA.I01\n#B.I01\n\nC D'\"x.I01\n\n") << QStringList{"4-A", "7-C D'\"x"} << QStringList{"C D'\"x.I01"} << "";
        QTest::newRow("a missing file, by line number") << QByteArray("A.I01\n\nZ.I01\nB.I01\tY.I04\r\n") << QStringList{"1-A"} << QStringList{"A.I01"}
                                                        << "line 3: no such file: %1/Z.I01|line 4: no such file: %1/Y.I04";
        QTest::newRow("a tab too many") << QByteArray("A.I01\t\n\tA.I01\n") << QStringList{} << QStringList{}
                                        << "line 1: an empty file name (two tabs, or a tab at an end)|line 2: an empty file name (two tabs, or a tab at an end)";
        QTest::newRow("not UTF-8, a CR inside") << QByteArray("A\xff.I01\nA.I01\rB.I01\n") << QStringList{} << QStringList{} << "line 1: not UTF-8 text|line 2: a CR inside the line";
        QTest::newRow("nothing but comments") << QByteArray("# none\n\n") << QStringList{} << QStringList{} << "names no SDG";
    }
    void reads()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, names);
        QFETCH(QStringList, lastFiles);
        QFETCH(QString, errors);
        const BacklogList read = parseBacklogList(list, m_dir.path(), true);
        QCOMPARE(read.errors.join(QLatin1Char('|')), errors.replace(QStringLiteral("%1"), m_dir.path()));
        QStringList got;
        for (const BacklogLine& line : read.lines)
            got.append(line.name());
        QCOMPARE(got, names);
        QStringList expected;
        for (const QString& file : lastFiles)
            expected.append(m_dir.filePath(file));
        QCOMPARE(read.lines.isEmpty() ? QStringList() : read.lines.last().files, expected);
        // The kept list reads back the same, wherever it is read from.
        if (errors.isEmpty())
            QCOMPARE(parseBacklogList(read.kept, QStringLiteral("/elsewhere"), true).lines.last().files, expected);
    }

    // Each row has the header's columns, whatever a cause or a name holds.
    void summaryRows()
    {
        const BacklogList list = parseBacklogList("A.I01\n\nB.I01\tB.I04\n", m_dir.path(), false);
        const QJsonObject abnormal = QJsonDocument::fromJson(
            R"({"sdg":"B","exitStatus":1,"cause":"ERROR: a\tb\r\nc","durationMs":7,"stages":[{"stage":"D","outcome":"completed"},{"stage":"I","outcome":"abnormal"}]})").object();
        const QList<LineResult> results{{list.lines.at(0), std::nullopt}, {list.lines.at(1), abnormal}};
        const QList<QByteArray> rows = summaryTsv(QStringLiteral("/o"), results).split('\n');
        QCOMPARE(rows.size(), 4); // the header, two rows, the end
        QCOMPARE(rows.at(1), QByteArray("1\tA\t\t\t\t\tnot finished\t\t\t\t/o/outputs/1-A"));
        QCOMPARE(rows.at(2), QByteArray("3\tB\t1\tcompleted\tabnormal\t\tERROR: a b  c\t\t\t7\t/o/outputs/3-B"));
        QCOMPARE(rows.at(0).count('\t'), 10);
    }

    void arraySpecs()
    {
        QCOMPARE(arraySpec({1, 2, 3, 5, 7, 8}), QStringLiteral("1-3,5,7-8"));
        QCOMPARE(arraySpec({4}), QStringLiteral("4"));
    }
};

QTEST_GUILESS_MAIN(TestBacklogList)
#include "tst_backlog_list.moc"
