#include "standin/defects.h"
#include "standin/frequency_table.h"

#include <QTest>

using namespace qelvrin::standin;

namespace {

// An SDG of one sample collected on 1 March 2026 and one result of it.
SdgData oneResult(const QByteArray& matrix, const QByteArray& analyte, const QByteArray& method, double result,
                  const QByteArray& units, double limit, const QByteArray& qualifier, int daysAfterCollection)
{
    SdgData data;
    const QDate collected(2026, 3, 1);
    data.samples.append({"W1", matrix, collected, 100});
    ResultRecord r;
    r.sample = "W1";
    r.analyte = analyte;
    r.method = method;
    r.result = result;
    r.resultText = QByteArray::number(result);
    r.units = units;
    r.detectionLimit = limit;
    r.limitText = QByteArray::number(limit);
    r.qualifier = qualifier;
    r.analysed = collected.addDays(daysAfterCollection);
    data.results.append(r);
    return data;
}

QByteArrayList codes(const QList<Defect>& defects)
{
    QByteArrayList list;
    for (const Defect& d : defects)
        list.append(checkInfo(d.check).code);
    return list;
}

const QList<Check> kAllChecks{Check::HoldingTime, Check::Qualifier,     Check::Units,
                              Check::DetectionLimit, Check::Method, Check::SpikeRecovery};

} // namespace

class TestDefects : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resultChecks_findTheirDefects_data()
    {
        QTest::addColumn<SdgData>("data");
        QTest::addColumn<QByteArrayList>("expected");
        using L = QByteArrayList;
        QTest::newRow("clean water result") << oneResult("WATER", "AL", "P", 500, "UG/L", 200, "", 30) << L{};
        QTest::newRow("mercury on its last holding day") << oneResult("WATER", "HG", "CV", 1, "UG/L", 0.2, "", 28) << L{};
        QTest::newRow("mercury a day late") << oneResult("WATER", "HG", "CV", 1, "UG/L", 0.2, "", 29) << L{"HT"};
        QTest::newRow("cyanide a day late") << oneResult("WATER", "CN", "C", 50, "UG/L", 10, "", 15) << L{"HT"};
        QTest::newRow("metal on day 180") << oneResult("WATER", "ZN", "P", 50, "UG/L", 20, "", 180) << L{};
        QTest::newRow("analysed before collection") << oneResult("WATER", "ZN", "P", 50, "UG/L", 20, "", -1) << L{"HT"};
        QTest::newRow("below limit without U") << oneResult("WATER", "ZN", "P", 5, "UG/L", 20, "J", 10) << L{"QU"};
        QTest::newRow("below limit with U") << oneResult("WATER", "ZN", "P", 5, "UG/L", 20, "U", 10) << L{};
        QTest::newRow("at limit with U") << oneResult("WATER", "ZN", "P", 20, "UG/L", 20, "U", 10) << L{"QU"};
        QTest::newRow("soil in water units") << oneResult("SOIL", "ZN", "P", 50, "UG/L", 4, "", 10) << L{"UN"};
        QTest::newRow("water in soil units") << oneResult("WATER", "ZN", "P", 50, "MG/KG", 20, "", 10) << L{"UN"};
        QTest::newRow("water limit above contract") << oneResult("WATER", "ZN", "P", 50, "UG/L", 21, "", 10) << L{"DL"};
        QTest::newRow("soil limit scaled") << oneResult("SOIL", "ZN", "P", 50, "MG/KG", 4, "", 10) << L{};
        QTest::newRow("soil limit above scaled contract") << oneResult("SOIL", "ZN", "P", 50, "MG/KG", 4.5, "", 10) << L{"DL"};
        QTest::newRow("mercury by plasma") << oneResult("WATER", "HG", "P", 1, "UG/L", 0.2, "", 10) << L{"MT"};
        QTest::newRow("metal by colorimetry") << oneResult("WATER", "ZN", "C", 50, "UG/L", 20, "", 10) << L{"MT"};
        QTest::newRow("metal by furnace") << oneResult("WATER", "PB", "F", 50, "UG/L", 3, "", 10) << L{};
        QTest::newRow("several defects, check order")
            << oneResult("SOIL", "HG", "P", 0.01, "UG/L", 0.2, "", 40) << L{"HT", "QU", "UN", "DL", "MT"};
    }

    void resultChecks_findTheirDefects()
    {
        QFETCH(SdgData, data);
        QFETCH(QByteArrayList, expected);
        QCOMPARE(codes(findDefects(data, kAllChecks)), expected);
    }

    void spikeRecovery_outsideLimitsIsDefect_data()
    {
        QTest::addColumn<double>("recovery");
        QTest::addColumn<bool>("defect");
        QTest::newRow("74.9") << 74.9 << true;
        QTest::newRow("75") << 75.0 << false;
        QTest::newRow("125") << 125.0 << false;
        QTest::newRow("125.1") << 125.1 << true;
        QTest::newRow("0") << 0.0 << true;
    }

    void spikeRecovery_outsideLimitsIsDefect()
    {
        QFETCH(double, recovery);
        QFETCH(bool, defect);
        SdgData data = oneResult("WATER", "AL", "P", 500, "UG/L", 200, "", 30);
        data.spikes.append({"W1", "AL", recovery});
        const QList<Defect> found = findDefects(data, {Check::SpikeRecovery});
        QCOMPARE(found.size(), defect ? 1 : 0);
        if (defect)
            QCOMPARE(found.first().matrix, QByteArray("WATER"));
    }

    void onlyRequestedChecksRun()
    {
        const SdgData data = oneResult("SOIL", "HG", "P", 0.01, "UG/L", 0.2, "", 40);
        QCOMPARE(codes(findDefects(data, {Check::Units, Check::HoldingTime})), (QByteArrayList{"UN", "HT"}));
    }

    void frequencyTable_cumulatesToTotal()
    {
        const FrequencyTable table = frequencyTable("Analyte", {{"AL", 1}, {"HG", 3}});
        QCOMPARE(table.rows.size(), 3);
        QVERIFY(table.columns.contains("Frequency"));
        QVERIFY(table.columns.contains("Cumulative Percent"));
        const QByteArrayList first = table.rows.at(0).simplified().split(' ');
        QCOMPARE(first, (QByteArrayList{"AL", "1", "25.00", "1", "25.00"}));
        const QByteArrayList second = table.rows.at(1).simplified().split(' ');
        QCOMPARE(second, (QByteArrayList{"HG", "3", "75.00", "4", "100.00"}));
        QCOMPARE(table.rows.at(2).simplified(), QByteArray("Total 4"));
    }
};

QTEST_GUILESS_MAIN(TestDefects)
#include "tst_defects.moc"
