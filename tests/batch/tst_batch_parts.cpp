#include "app/batch/batch_dialogs.h"
#include "app/batch/batch_run.h"
#include "app/batch/progress_line.h"
#include "platform/drive_map.h"

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
        QTest::newRow("assessments only") << "IF" << false << "IF";
        QTest::newRow("full before initial") << "FI" << false << "FI";
        QTest::newRow("load must come first") << "ID" << true << "";
        QTest::newRow("twice") << "II" << false << "";
        QTest::newRow("file without load") << "I" << true << "";
        QTest::newRow("load without file") << "D" << false << "";
        QTest::newRow("default without file") << "" << false << "";
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

    void progressLine_showsNamePercentAndTime()
    {
        QCOMPARE(batch::progressLine(QStringLiteral("Data Load Program"), 50, false, 65000, 10),
                 QStringLiteral("Data Load Program [#####.....]  50%  1:05"));
        QCOMPARE(batch::progressLine(QStringLiteral("X"), 99, true, 0, 10), QStringLiteral("X [#########.]  99%+ 0:00"));
    }

    // Files are taken in order; the diskette question is Yes while files remain.
    void dialogs_answerFromTheCommandLine()
    {
        const DriveMap drives(QStringLiteral("/c"), QStringLiteral("/a"), QStringLiteral("/b"));
        QString printed;
        QTextStream out(&printed);
        batch::BatchDialogs dialogs(drives, {QStringLiteral("A:\\M1.I01"), QStringLiteral("/x/M1.I04")}, out);
        const MessageBoxRequest more{QStringLiteral("Do you want to load another disk: "), MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Continue?")};
        QCOMPARE(dialogs.openFile({}), QStringLiteral("/a/M1.I01"));
        QCOMPARE(dialogs.message(more), Answer::Yes);
        QCOMPARE(dialogs.openFile({}), QStringLiteral("/x/M1.I04"));
        QCOMPARE(dialogs.message(more), Answer::No);
        QCOMPARE(dialogs.openFile({}), QString());
        dialogs.message({QStringLiteral("A\rB\r"), MsgIcon::None, MsgButtons::Ok, QStringLiteral("T")});
        QCOMPARE(printed, QStringLiteral("Do you want to load another disk: Yes\nDo you want to load another disk: No\nA\nB\n"));
    }
};

QTEST_GUILESS_MAIN(TestBatchParts)
#include "tst_batch_parts.moc"
