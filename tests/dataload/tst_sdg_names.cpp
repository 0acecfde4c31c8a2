#include "stages/data_load.h"

#include <QTest>

using namespace qelvrin;

class TestSdgNames : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Names on A: and C: and refused names are the data load's and the batch runner's.
    void deriveSdgNames_followsNameRules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("names"); // SdgName|SdgFilePrefix|filePattern|accepted or refused|diskette or fixed
        QTest::newRow("dot in a folder name") << "C:\\SDG.1\\M12345.I01" << "M12345|C:\\SDG.1\\M12345.I|M12345.I??|accepted|fixed";
        QTest::newRow("lower-case name on B") << "b:\\m12345.i01" << "M12345|B:\\M12345.I|M12345.I??|accepted|diskette";
        QTest::newRow("native path outside every drive") << "/home/op/M12345.I01" << "M12345|/HOME/OP/M12345.I|M12345.I??|accepted|fixed";
        QTest::newRow("own name longer than ten") << "C:\\DATA\\XM12345.I01" << "M12345|C:\\DATA\\XM12345.I|XM12345.I??|accepted|fixed";
        QTest::newRow("name not six dot three") << "C:\\M12.I01234" << "M12.I0|C:\\M12.I|M12.I??|accepted|fixed";
        QTest::newRow("extension not I") << "A:\\M12345.J01" << "M12345|A:\\M12345.J|M12345.J??|refused|diskette";
        QTest::newRow("blanks before the path") << "  A:\\M12345.I01" << "M12345|A:\\M12345.I|M12345.I??|accepted|diskette";
        QTest::newRow("shorter than ten") << "M1234.I01" << "M1234.|M1234.I|M1234.I??|refused|fixed";
        QTest::newRow("no dot") << "C:\\DATA\\M12345I01" << "\\M1234|C|??|refused|fixed";
        QTest::newRow("cancelled") << "" << "      ||??|refused|fixed";
    }
    void deriveSdgNames_followsNameRules()
    {
        QFETCH(QString, path);
        QFETCH(QString, names);
        const SdgNames derived = deriveSdgNames(path);
        QCOMPARE(QStringList({derived.SdgName, derived.SdgFilePrefix, derived.filePattern, derived.accepted ? "accepted" : "refused",
                              derived.diskette ? "diskette" : "fixed"})
                     .join(u'|'),
                 names);
    }
};

QTEST_GUILESS_MAIN(TestSdgNames)
#include "tst_sdg_names.moc"
