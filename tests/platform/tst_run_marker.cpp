#include "platform/run_marker.h"
#include "support/file_writer.h"

#include <QTemporaryDir>
#include <QTest>

namespace marker = qelvrin::marker;

class TestRunMarker : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString pathWith(const QByteArray& bytes) { return qelvrin::testing::writeFile(m_dir, QStringLiteral("SHUTDOWN.DAT"), bytes); }

private Q_SLOTS:
    void write_normal_isTheTenByteRecord()
    {
        const QString path = pathWith("left over from an earlier run, longer than the record\r\nsecond line\r\n");
        QVERIFY(marker::write(path, QStringLiteral("NORMAL")));
        QCOMPARE(qelvrin::testing::readFile(path), QByteArray::fromHex("224E4F524D414C220D0A"));
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("normal");
        QTest::newRow("quoted NORMAL") << QByteArray("\"NORMAL\"\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("lower case") << QByteArray("\"normal\"\r\n") << QByteArray("normal") << false;
        QTest::newRow("blank inside the quotes") << QByteArray("\"NORMAL \"\r\n") << QByteArray("NORMAL ") << false;
        QTest::newRow("empty first line") << QByteArray("\r\n\"NORMAL\"\r\n") << QByteArray() << false;
        QTest::newRow("no line end") << QByteArray("\"NORMAL\"") << QByteArray("NORMAL") << true;
        QTest::newRow("comma ends an unquoted field") << QByteArray("NORMAL,EXTRA\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("quote never closed") << QByteArray("\"NORMAL\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("binary bytes") << QByteArray("\x00\xff\x01\x80NORMAL", 10) << QByteArray("\x00\xff\x01\x80NORMAL", 10) << false;
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, value);
        QFETCH(bool, normal);
        const QString path = pathWith(bytes);
        QCOMPARE(marker::readValue(path), value);
        QCOMPARE(marker::holdsNormal(path), normal);
    }

    void read_absentOrDirectory_isNotNormal()
    {
        QCOMPARE(marker::readValue(m_dir.filePath(QStringLiteral("absent"))), QByteArray());
        QVERIFY(!marker::holdsNormal(m_dir.path()));
    }

};

QTEST_GUILESS_MAIN(TestRunMarker)
#include "tst_run_marker.moc"
