#include "stages/data_load.h"

#include <QTest>

using namespace qelvrin;

class TestSdgNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Names on A: and C: and refused names are the data load's and the batch
    // runner's.
    void deriveSdgNames_followsNameRules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("sdgName");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("diskette");
        QTest::newRow("dot in a folder name") << "C:\\SDG.1\\M12345.I01" << "M12345" << "C:\\SDG.1\\M12345.I" << "M12345.I??" << true << false;
        QTest::newRow("lower-case name on B") << "b:\\m12345.i01" << "M12345" << "B:\\M12345.I" << "M12345.I??" << true << true;
        QTest::newRow("native path outside every drive") << "/home/op/M12345.I01" << "M12345" << "/HOME/OP/M12345.I" << "M12345.I??" << true << false;
        QTest::newRow("own name longer than ten") << "C:\\DATA\\XM12345.I01" << "M12345" << "C:\\DATA\\XM12345.I" << "XM12345.I??" << true << false;
        QTest::newRow("name not six dot three") << "C:\\M12.I01234" << "M12.I0" << "C:\\M12.I" << "M12.I??" << true << false;
        QTest::newRow("extension not I") << "A:\\M12345.J01" << "M12345" << "A:\\M12345.J" << "M12345.J??" << false << true;
        QTest::newRow("blanks before the path") << "  A:\\M12345.I01" << "M12345" << "A:\\M12345.I" << "M12345.I??" << true << true;
        QTest::newRow("shorter than ten") << "M1234.I01" << "M1234." << "M1234.I" << "M1234.I??" << false << false;
        QTest::newRow("no dot") << "C:\\DATA\\M12345I01" << "\\M1234" << "C" << "??" << false << false;
        QTest::newRow("cancelled") << "" << "      " << "" << "??" << false << false;
    }
    void deriveSdgNames_followsNameRules()
    {
        QFETCH(QString, path);
        QFETCH(QString, sdgName);
        QFETCH(QString, prefix);
        QFETCH(QString, pattern);
        QFETCH(bool, accepted);
        QFETCH(bool, diskette);
        const SdgNames names = deriveSdgNames(path);
        QCOMPARE(names.SdgName, sdgName);
        QCOMPARE(names.SdgFilePrefix, prefix);
        QCOMPARE(names.filePattern, pattern);
        QCOMPARE(names.accepted, accepted);
        QCOMPARE(names.diskette, diskette);
    }
};

QTEST_GUILESS_MAIN(TestSdgNames)
#include "tst_sdg_names.moc"
