#include "standin/sdg_data.h"
#include "standin/sdg_record.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin::standin;

class TestSdgRecord : public QObject {
    Q_OBJECT

private:
    static SdgLoad loadFrom(const QByteArray& bytes)
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("QELVDATA")));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write(bytes);
        file.close();
        return loadSdgData(dir.path());
    }

private Q_SLOTS:
    void wellFormedRecords_areAccepted_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("kind");
        QTest::newRow("header") << QByteArray("H,M12345,LABQ7,C0412,20260302") << 0;
        QTest::newRow("water sample") << QByteArray("S,MW01,WATER,20260221,100") << 1;
        QTest::newRow("soil sample, fractional solids") << QByteArray("S,MW03,SOIL,20260223,72.5") << 1;
        QTest::newRow("result without qualifier") << QByteArray("R,MW01,AL,P,8182.021,UG/L,200,,20260529") << 2;
        QTest::newRow("negative result qualified U") << QByteArray("R,MW01,CD,P,-0.4,UG/L,5,U,20260529") << 2;
        QTest::newRow("one-letter analyte") << QByteArray("R,MW01,K,P,12,UG/L,5000,B,20240229") << 2;
        QTest::newRow("spike recovery") << QByteArray("Q,MW01,HG,98.4") << 3;
    }

    void wellFormedRecords_areAccepted()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, kind);
        const ParsedRecord parsed = parseRecord(line);
        QVERIFY2(parsed.ok(), parsed.error.constData());
        QCOMPARE(static_cast<int>(parsed.record.index()), kind);
    }

    void resultFields_keepTheirText()
    {
        const ParsedRecord parsed = parseRecord("R,MW01,HG,CV,0.050,UG/L,0.2,U,20260310");
        QVERIFY(parsed.ok());
        const auto& r = std::get<ResultRecord>(parsed.record);
        QCOMPARE(r.resultText, QByteArray("0.050"));
        QCOMPARE(r.result, 0.05);
        QCOMPARE(r.limitText, QByteArray("0.2"));
        QCOMPARE(r.analysed, QDate(2026, 3, 10));
        QCOMPARE(r.qualifier, QByteArray("U"));
    }

    void malformedRecords_areRefusedWithReason_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("unknown type") << QByteArray("X,MW01") << QByteArray("record type \"X\"");
        QTest::newRow("lower-case type") << QByteArray("r,MW01,AL,P,1,UG/L,1,,20260101") << QByteArray("record type");
        QTest::newRow("too few fields") << QByteArray("R,MW01,AL,P,1,UG/L,1,20260101") << QByteArray("8 fields, expected 9");
        QTest::newRow("too many fields") << QByteArray("Q,MW01,AL,98,1") << QByteArray("5 fields, expected 4");
        QTest::newRow("lower-case sample") << QByteArray("S,mw01,WATER,20260101,100") << QByteArray("field 2 (SAMPLE)");
        QTest::newRow("sample id too long") << QByteArray("S,MW0123456,WATER,20260101,100") << QByteArray("field 2 (SAMPLE)");
        QTest::newRow("empty sample") << QByteArray("Q,,AL,98") << QByteArray("field 2 (SAMPLE)");
        QTest::newRow("unknown matrix") << QByteArray("S,MW01,AIR,20260101,100") << QByteArray("field 3 (MATRIX)");
        QTest::newRow("day out of month") << QByteArray("S,MW01,WATER,20260231,100") << QByteArray("field 4 (COLLECTED)");
        QTest::newRow("short date") << QByteArray("S,MW01,WATER,2026011,100") << QByteArray("field 4 (COLLECTED)");
        QTest::newRow("solids above 100") << QByteArray("S,MW01,SOIL,20260101,100.5") << QByteArray("exceeds 100");
        QTest::newRow("two decimal points") << QByteArray("R,MW01,AL,P,12..5,UG/L,1,,20260101") << QByteArray("field 5 (RESULT)");
        QTest::newRow("leading dot") << QByteArray("R,MW01,AL,P,.5,UG/L,1,,20260101") << QByteArray("field 5 (RESULT)");
        QTest::newRow("trailing dot") << QByteArray("R,MW01,AL,P,5.,UG/L,1,,20260101") << QByteArray("field 5 (RESULT)");
        QTest::newRow("lone minus") << QByteArray("R,MW01,AL,P,-,UG/L,1,,20260101") << QByteArray("field 5 (RESULT)");
        QTest::newRow("exponent") << QByteArray("R,MW01,AL,P,1E3,UG/L,1,,20260101") << QByteArray("field 5 (RESULT)");
        QTest::newRow("unknown analyte") << QByteArray("R,MW01,XX,P,1,UG/L,1,,20260101") << QByteArray("contract list");
        QTest::newRow("unknown method") << QByteArray("R,MW01,AL,ICP,1,UG/L,1,,20260101") << QByteArray("field 4 (METHOD)");
        QTest::newRow("unknown units") << QByteArray("R,MW01,AL,P,1,MG/L,1,,20260101") << QByteArray("field 6 (UNITS)");
        QTest::newRow("zero detection limit") << QByteArray("R,MW01,AL,P,1,UG/L,0,,20260101") << QByteArray("not above zero");
        QTest::newRow("negative detection limit") << QByteArray("R,MW01,AL,P,1,UG/L,-1,,20260101")
                                                  << QByteArray("field 7 (DETECTION LIMIT)");
        QTest::newRow("unknown qualifier") << QByteArray("R,MW01,AL,P,1,UG/L,1,X,20260101") << QByteArray("field 8 (QUALIFIER)");
        QTest::newRow("SDG not starting with M") << QByteArray("H,X12345,LAB,C1,20260101") << QByteArray("field 2 (SDG)");
        QTest::newRow("SDG too short") << QByteArray("H,M1234,LAB,C1,20260101") << QByteArray("field 2 (SDG)");
        QTest::newRow("negative recovery") << QByteArray("Q,MW01,AL,-5") << QByteArray("field 4 (RECOVERY)");
    }

    void malformedRecords_areRefusedWithReason()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, reason);
        const ParsedRecord parsed = parseRecord(line);
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error.contains(reason), parsed.error.constData());
    }

    void dataFile_loadsRecordsOfEveryLineEnd()
    {
        const SdgLoad load = loadFrom("H,M12345,LAB,C1,20260101\r\n"
                                      "S,W1,WATER,20260101,100\r"
                                      "\r\n"
                                      "R,W1,AL,P,5,UG/L,1,,20260102\n"
                                      "Q,W1,AL,101  ");
        QCOMPARE(load.status, SdgLoad::Status::Loaded);
        QCOMPARE(load.data.records, 4);
        QCOMPARE(load.data.blankLines, 1);
        QCOMPARE(load.data.header.sdg, QByteArray("M12345"));
        QCOMPARE(load.data.samples.size(), 1);
        QCOMPARE(load.data.results.size(), 1);
        QCOMPARE(load.data.spikes.size(), 1);
        QCOMPARE(load.data.shortest, 11);
    }

    void dataFile_wholeFileRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("errorLine");
        QTest::addColumn<QByteArray>("reason");
        const QByteArray head = "H,M12345,LAB,C1,20260101\r\n";
        QTest::newRow("second header") << head + "S,W1,WATER,20260101,100\r\n" + head << 3 << QByteArray("second header");
        QTest::newRow("sample twice") << head + "S,W1,WATER,20260101,100\r\nS,W1,SOIL,20260101,80\r\n" << 3
                                      << QByteArray("described twice");
        QTest::newRow("spike without sample") << head + "Q,W2,AL,90\r\n" << 0 << QByteArray("sample W2 has results");
        QTest::newRow("no header") << QByteArray("S,W1,WATER,20260101,100\r\n") << 0 << QByteArray("no header");
        QTest::newRow("malformed line counted with blanks")
            << head + "\r\n\r\nS,W1,WATER,2026,100\r\n" << 4 << QByteArray("COLLECTED");
    }

    void dataFile_wholeFileRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, errorLine);
        QFETCH(QByteArray, reason);
        const SdgLoad load = loadFrom(bytes);
        QCOMPARE(load.status, SdgLoad::Status::Malformed);
        QCOMPARE(load.errors.size(), 1);
        QCOMPARE(load.errors.first().recordNumber, errorLine);
        QVERIFY2(load.errors.first().message.contains(reason), load.errors.first().message.constData());
    }
};

QTEST_GUILESS_MAIN(TestSdgRecord)
#include "tst_sdg_record.moc"
