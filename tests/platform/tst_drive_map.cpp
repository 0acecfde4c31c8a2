#include "platform/drive_map.h"

#include <QTest>

using qelvrin::DriveMap;

class TestDriveMap : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Paths on drive C and A in both directions run through every other test.
    void paths_data()
    {
        QTest::addColumn<QString>("dos");
        QTest::addColumn<QString>("native");
        QTest::addColumn<QString>("way"); // "both", "to native" or "to DOS"
        QTest::newRow("lower-case letter") << "c:\\X" << "/drive/X" << "to native";
        QTest::newRow("drive B, lower case") << "b:\\M12345.I04" << "/disk/b/M12345.I04" << "to native";
        QTest::newRow("unmapped letter") << "D:\\X" << "" << "to native";
        QTest::newRow("relative name") << "pcvqs.ini" << "pcvqs.ini" << "to native";
        QTest::newRow("drive root") << "\\" << "/drive" << "to native";
        QTest::newRow("nested folder of A") << "A:\\sub\\m1.i01" << "/disk/a/sub/m1.i01" << "both";
        QTest::newRow("outside every drive") << "/home/op/M12345.I01" << "/home/op/M12345.I01" << "to DOS";
        QTest::newRow("sibling with common prefix") << "/drive2/M1.I01" << "/drive2/M1.I01" << "to DOS";
    }
    void paths()
    {
        QFETCH(QString, dos);
        QFETCH(QString, native);
        QFETCH(QString, way);
        const DriveMap map(QStringLiteral("/drive"), QStringLiteral("/disk/a"), QStringLiteral("/disk/b"));
        if (way != QLatin1String("to DOS"))
            QCOMPARE(map.toNative(dos), native);
        if (way != QLatin1String("to native"))
            QCOMPARE(map.toDos(native), dos);
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_drive_map.moc"
