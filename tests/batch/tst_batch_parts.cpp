#include "app/batch/batch_run.h"

#include <QTest>

using namespace qelvrin;

class TestBatchParts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chooseStages_data()
    {
        QTest::addColumn<QString>("stages");
        QTest::addColumn<bool>("haveFiles");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("default with a file") << "" << true << "DIF";
        QTest::newRow("lower case") << "dif" << true << "DIF";
        QTest::newRow("full before initial") << "FI" << false << "FI";
        QTest::newRow("load must come first") << "ID" << true << "";
        QTest::newRow("twice") << "II" << false << "";
        QTest::newRow("file without load") << "I" << true << "";
        QTest::newRow("load without file") << "D" << false << "";
    }
    void chooseStages()
    {
        QFETCH(QString, stages);
        QFETCH(bool, haveFiles);
        QFETCH(QString, chosen);
        QString error;
        QCOMPARE(batch::chooseStages(stages, haveFiles, &error), chosen);
        QCOMPARE(error.isEmpty(), !chosen.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBatchParts)
#include "tst_batch_parts.moc"
