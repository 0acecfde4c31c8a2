#include "platform/drive_map.h"

#include <QTest>

using qelvrin::DriveMap;

class TestDriveMap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toNative_data()
    {
        QTest::addColumn<QString>("dos");
        QTest::addColumn<QString>("native");
        QTest::newRow("root path") << "\\QELVRIN\\SHUTDOWN.DAT" << "/drive/QELVRIN/SHUTDOWN.DAT";
        QTest::newRow("current drive letter") << "C:\\SAS\\SAS.EXE" << "/drive/SAS/SAS.EXE";
        QTest::newRow("lower-case letter") << "c:\\X" << "/drive/X";
        QTest::newRow("drive A") << "A:\\M12345.I01" << "/disk/a/M12345.I01";
        QTest::newRow("drive B") << "b:\\M12345.I04" << "/disk/b/M12345.I04";
        QTest::newRow("unmapped letter") << "D:\\X" << "";
        QTest::newRow("relative name") << "pcvqs.ini" << "pcvqs.ini";
        QTest::newRow("drive root") << "\\" << "/drive";
    }
    void toNative()
    {
        QFETCH(QString, dos);
        QFETCH(QString, native);
        const DriveMap map(QStringLiteral("/drive"), QStringLiteral("/disk/a"), QStringLiteral("/disk/b"));
        QCOMPARE(map.toNative(dos), native);
    }

    void toDos_data()
    {
        QTest::addColumn<QString>("native");
        QTest::addColumn<QString>("dos");
        QTest::newRow("under root") << "/drive/DATA/M12345.I01" << "C:\\DATA\\M12345.I01";
        QTest::newRow("under A") << "/disk/a/M12345.I01" << "A:\\M12345.I01";
        QTest::newRow("nested folder of A") << "/disk/a/sub/m1.i01" << "A:\\sub\\m1.i01";
        QTest::newRow("outside every drive") << "/home/op/M12345.I01" << "/home/op/M12345.I01";
        QTest::newRow("sibling with common prefix") << "/drive2/M1.I01" << "/drive2/M1.I01";
    }
    void toDos()
    {
        QFETCH(QString, native);
        QFETCH(QString, dos);
        const DriveMap map(QStringLiteral("/drive"), QStringLiteral("/disk/a"), QStringLiteral("/disk/b"));
        QCOMPARE(map.toDos(native), dos);
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_drive_map.moc"
