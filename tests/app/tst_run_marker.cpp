#include "app/run_marker.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace marker = qelvrin::marker;

class TestRunMarker : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString pathWith(const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("SHUTDOWN.DAT"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void write_normal_isTheTenByteRecord()
    {
        const QString path = pathWith("left over from an earlier run, longer than the record\r\nsecond line\r\n");
        QVERIFY(marker::write(path, QStringLiteral("NORMAL")));
        QCOMPARE(contents(path), QByteArray::fromHex("224E4F524D414C220D0A"));
    }

    void write_stageText_replacesWholeFile()
    {
        const QString path = pathWith("\"NORMAL\"\r\n");
        QVERIFY(marker::write(path, QStringLiteral("I.A. PROGRAM STARTED")));
        QCOMPARE(contents(path), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));
    }

    void write_intoMissingDirectory_failsWithReason()
    {
        QString error;
        QVERIFY(!marker::write(m_dir.filePath(QStringLiteral("no/such/dir/SHUTDOWN.DAT")), QStringLiteral("NORMAL"), &error));
        QVERIFY(!error.isEmpty());
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("normal");
        QTest::newRow("quoted NORMAL") << QByteArray("\"NORMAL\"\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("unquoted NORMAL") << QByteArray("NORMAL\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("blanks before the quote") << QByteArray("   \"NORMAL\"\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("lower case") << QByteArray("\"normal\"\r\n") << QByteArray("normal") << false;
        QTest::newRow("blank inside the quotes") << QByteArray("\"NORMAL \"\r\n") << QByteArray("NORMAL ") << false;
        QTest::newRow("unquoted with trailing blank") << QByteArray("NORMAL \r\n") << QByteArray("NORMAL ") << false;
        QTest::newRow("ABNORMAL") << QByteArray("\"ABNORMAL\"\r\n") << QByteArray("ABNORMAL") << false;
        QTest::newRow("empty file") << QByteArray() << QByteArray() << false;
        QTest::newRow("empty first line") << QByteArray("\r\n\"NORMAL\"\r\n") << QByteArray() << false;
        QTest::newRow("no line end") << QByteArray("\"NORMAL\"") << QByteArray("NORMAL") << true;
        QTest::newRow("lone LF") << QByteArray("\"NORMAL\"\nrest") << QByteArray("NORMAL") << true;
        QTest::newRow("lone CR") << QByteArray("NORMAL\rrest") << QByteArray("NORMAL") << true;
        QTest::newRow("comma ends an unquoted field") << QByteArray("NORMAL,EXTRA\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("comma inside quotes is kept") << QByteArray("\"NORMAL,X\"\r\n") << QByteArray("NORMAL,X") << false;
        QTest::newRow("quote never closed") << QByteArray("\"NORMAL\r\n") << QByteArray("NORMAL") << true;
        QTest::newRow("garbage") << QByteArray("%%%% ### not a marker") << QByteArray("%%%% ### not a marker") << false;
        QTest::newRow("binary bytes") << QByteArray("\x00\xff\x01\x80NORMAL", 10) << QByteArray("\x00\xff\x01\x80NORMAL", 10) << false;
        QTest::newRow("NUL inside the quotes") << QByteArray("\"NORMAL\x00\"\r\n", 11) << QByteArray("NORMAL\x00", 7) << false;
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
        QVERIFY(!marker::holdsNormal(m_dir.filePath(QStringLiteral("absent"))));
        QVERIFY(!marker::holdsNormal(m_dir.path()));
    }

    void writtenRecord_readsBackItsText()
    {
        const QString path = m_dir.filePath(QStringLiteral("roundtrip"));
        QVERIFY(marker::write(path, QStringLiteral("F.A. PROGRAM STARTED")));
        QCOMPARE(marker::readValue(path), QByteArray("F.A. PROGRAM STARTED"));
    }
};

QTEST_GUILESS_MAIN(TestRunMarker)
#include "tst_run_marker.moc"
