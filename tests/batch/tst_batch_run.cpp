#include "support/temp_drive.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>

using qelvrin::testing::TempDrive;

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

QString demoFile(const QString& relative)
{
    return qEnvironmentVariable("QELVRIN_DEMO_DIR") + QLatin1Char('/') + relative;
}

void copyInto(const QString& from, const QString& toDir)
{
    QVERIFY(QFile::copy(from, toDir + QLatin1Char('/') + QFileInfo(from).fileName()));
}

QProcess* startBatch(const TempDrive& drive, const QStringList& args, const QStringList& extraEnv = {})
{
    auto* process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // "NAME=value" sets a variable, a bare "NAME" removes it.
    for (const QString& pair : extraEnv) {
        if (pair.contains(QLatin1Char('=')))
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        else
            env.remove(pair);
    }
    process->setProcessEnvironment(env);
    process->start(qEnvironmentVariable("QELVRIN_BATCH"),
                   QStringList{QStringLiteral("--drive"), drive.root(), QStringLiteral("--drive-a"), drive.diskA(),
                               QStringLiteral("--drive-b"), drive.diskB()}
                       + args);
    return process;
}

Outcome runBatch(const TempDrive& drive, const QStringList& args, const QStringList& extraEnv = {})
{
    std::unique_ptr<QProcess> process(startBatch(drive, args, extraEnv));
    Outcome outcome;
    if (!process->waitForFinished(120000))
        return outcome;
    outcome.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process->readAllStandardError());
    return outcome;
}

const QByteArray kNormalMarker("\"NORMAL\"\r\n");

// The --json result: stdout must hold nothing else.
QJsonObject jsonResult(const Outcome& run)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("not JSON: %s", qPrintable(run.out));
    return document.object();
}

// Without \QELVRIN\ the runner lays the drive out, the stand-in included.
void makeDriveNew(const TempDrive& drive)
{
    QVERIFY(QDir().rmdir(drive.native(QStringLiteral("\\QELVRIN"))));
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Pids of stand-in processes working on this drive.
QList<qint64> standInsOn(const TempDrive& drive)
{
    QList<qint64> pids;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        QByteArray status = fileBytes(QStringLiteral("/proc/%1/status").arg(pid));
        if (status.contains("State:\tZ"))
            continue;
        const QByteArray cmdline = fileBytes(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.contains("-SYSIN") && cmdline.contains(drive.root().toLocal8Bit()))
            pids.append(pid);
    }
    return pids;
}

} // namespace

class TestBatchRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoDiskettes_runAllStagesAndEndCleanly()
    {
        TempDrive drive;
        makeDriveNew(drive);
        for (const char* name : {"M12345.I01", "M12345.I02", "M12345.I03"})
            copyInto(demoFile(QStringLiteral("diskettes/disk1/") + QLatin1String(name)), drive.diskA());
        copyInto(demoFile(QStringLiteral("diskettes/disk2/M12345.I04")), drive.diskB());

        const Outcome run = runBatch(drive, {QStringLiteral("--json"), QStringLiteral("A:\\M12345.I01"), QStringLiteral("B:\\M12345.I04")});
        QCOMPARE(run.status, 0);
        const qsizetype yes = run.err.indexOf(QStringLiteral("Do you want to load another disk: Yes\n"));
        const qsizetype no = run.err.indexOf(QStringLiteral("Do you want to load another disk: No\n"));
        const qsizetype load = run.err.indexOf(QStringLiteral("The Data Load Program has successfully completed.\n"));
        const qsizetype initial = run.err.indexOf(QStringLiteral("The Initial Assessment Program has successfully completed.\n"));
        const qsizetype full = run.err.indexOf(QStringLiteral("The Full Assessment Program has successfully completed.\n"));
        QVERIFY2(yes >= 0 && yes < no && no < load && load < initial && initial < full, qPrintable(run.err));

        const QJsonObject result = jsonResult(run);
        QCOMPARE(result.value(QStringLiteral("sdg")).toString(), QStringLiteral("M12345"));
        QCOMPARE(result.value(QStringLiteral("exitStatus")).toInt(-1), 0);
        const QJsonArray stages = result.value(QStringLiteral("stages")).toArray();
        QCOMPARE(stages.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject stage = stages.at(i).toObject();
            QCOMPARE(stage.value(QStringLiteral("stage")).toString(), QString(QStringLiteral("DIF").at(i)));
            QCOMPARE(stage.value(QStringLiteral("outcome")).toString(), QStringLiteral("completed"));
            QVERIFY(QFileInfo(stage.value(QStringLiteral("log")).toString()).size() > 0);
            QVERIFY(stage.value(QStringLiteral("durationMs")).isDouble());
            QVERIFY(!stage.contains(QStringLiteral("failureLine")));
        }

        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), kNormalMarker);
        QVERIFY(drive.exists(QStringLiteral("\\QELVRIN\\SDEFECT.TXT")));
        QVERIFY(drive.exists(QStringLiteral("\\QELVRIN\\TDEFECT.TXT")));
        // Diskette 1's three files come before diskette 2's.
        const QByteArray data = drive.read(QStringLiteral("\\QELVRIN\\QELVDATA"));
        const QByteArray second = fileBytes(demoFile(QStringLiteral("diskettes/disk2/M12345.I04"))).trimmed();
        QVERIFY(data.endsWith(second + "\r\n"));
        for (const char* name : {"M12345.I01", "M12345.I02", "M12345.I03"}) {
            const QByteArray firstLine = fileBytes(demoFile(QStringLiteral("diskettes/disk1/") + QLatin1String(name))).split('\r').first();
            const qsizetype at = data.indexOf(firstLine);
            QVERIFY(at >= 0 && at < data.size() - second.size());
        }

        // A second run on the loaded data: only the assessments.
        const Outcome subset = runBatch(drive, {QStringLiteral("--stages"), QStringLiteral("IF")});
        QCOMPARE(subset.status, 0);
        QVERIFY(!subset.out.contains(QStringLiteral("Data Load")));
        QVERIFY(subset.out.contains(QStringLiteral("The Full Assessment Program has successfully completed.")));
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\QELVDATA")), data);
    }

    void malformedSample_endsAbnormallyWithTheFailureLine()
    {
        TempDrive drive;
        makeDriveNew(drive);
        const QString sample = demoFile(QStringLiteral("malformed/M34567.I01"));
        const Outcome run = runBatch(drive, {QStringLiteral("--json"), sample});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral(
                     "The Data Load Program has ended abnormally. Please check the SAS log from the view menu\n")),
                 qPrintable(run.err));
        const QString log = drive.native(QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"));
        const QJsonObject result = jsonResult(run);
        QCOMPARE(result.value(QStringLiteral("sdg")).toString(), QStringLiteral("M34567"));
        QCOMPARE(result.value(QStringLiteral("exitStatus")).toInt(-1), 1);
        const QJsonArray stages = result.value(QStringLiteral("stages")).toArray();
        QCOMPARE(stages.size(), 1); // no assessment after the abnormal end
        const QJsonObject load = stages.at(0).toObject();
        QCOMPARE(load.value(QStringLiteral("outcome")).toString(), QStringLiteral("abnormal"));
        QCOMPARE(load.value(QStringLiteral("log")).toString(), log);
        const int lineNumber = load.value(QStringLiteral("failureLineNumber")).toInt();
        const QString failure = load.value(QStringLiteral("failureLine")).toString();
        const QList<QByteArray> lines = fileBytes(log).split('\n');
        QVERIFY(lineNumber > 0 && lineNumber <= lines.size());
        QCOMPARE(QString::fromLatin1(lines.at(lineNumber - 1)).trimmed(), failure.trimmed());
        QVERIFY(run.err.contains(QStringLiteral("First failure line %1 of %2:\n%3\n").arg(lineNumber).arg(log, failure)));
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), kNormalMarker);
    }

    void badRequests_areSetUpErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown stage letter") << QStringList{QStringLiteral("--stages"), QStringLiteral("IX")} << "\"X\" is not one of them";
        QTest::newRow("data load without a file") << QStringList{QStringLiteral("--stages"), QStringLiteral("D")} << "needs an SDG file";
        QTest::newRow("no file, no stages") << QStringList{} << "needs an SDG file";
        QTest::newRow("missing SDG file") << QStringList{QStringLiteral("A:\\M99999.I01")} << "cannot find the SDG file A:\\M99999.I01";
        QTest::newRow("assessments without data") << QStringList{QStringLiteral("--stages"), QStringLiteral("IF")} << "no data loaded";
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << "bogus";
    }
    void badRequests_areSetUpErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        TempDrive drive;
        const Outcome run = runBatch(drive, args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
    }

    void fileFailingTheNameTest_isNotLoaded()
    {
        TempDrive drive;
        QFile file(drive.diskA() + QStringLiteral("/X12345.I01"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x\r\n");
        file.close();
        const Outcome run = runBatch(drive, {QStringLiteral("--json"), QStringLiteral("A:\\X12345.I01")});
        QCOMPARE(run.status, 2);
        QVERIFY(run.err.contains(QStringLiteral("No Files were Loaded\n")));
        const QJsonObject result = jsonResult(run);
        QCOMPARE(result.value(QStringLiteral("error")).toString(), QStringLiteral("No Files were Loaded"));
        QCOMPARE(result.value(QStringLiteral("exitStatus")).toInt(-1), 2);
        QVERIFY(result.value(QStringLiteral("stages")).toArray().isEmpty());
    }

    void missingBatchProcessor_exitsWithThree()
    {
        TempDrive drive; // \QELVRIN\ exists, so no set-up puts the stand-in in place
        copyInto(demoFile(QStringLiteral("sdg/M23456.I01")), drive.diskA());
        const Outcome run = runBatch(drive, {QStringLiteral("A:\\M23456.I01")});
        QCOMPARE(run.status, 3);
        QVERIFY2(run.out.contains(QStringLiteral("SAS.EXE")), qPrintable(run.out));
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), kNormalMarker);
    }

    void uncleanMarker_purgesBeforeRunning()
    {
        TempDrive drive;
        drive.write(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT"), "\"ABNORMAL\"\r\n");
        drive.write(QStringLiteral("\\QELVRIN\\QELVDATA"), "data\r\n");
        drive.write(QStringLiteral("\\QELVRIN\\SDEFECT.TXT"), "report\r\n");
        const Outcome run = runBatch(drive, {QStringLiteral("--stages"), QStringLiteral("I")});
        QCOMPARE(run.status, 2);
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\QELVDATA")));
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\SDEFECT.TXT")));
    }

    // A stage that never signals: a run on another drive goes through beside
    // it (started without XDG_RUNTIME_DIR, as from cron: not a word on
    // stderr), a second copy on the same drive is refused, and Ctrl-C closes
    // the stage and leaves the marker unclean.
    void runningStage_excludesSecondCopyOnlyOnItsDrive_andInterruptLeavesMarker()
    {
        TempDrive drive;
        makeDriveNew(drive);
        copyInto(demoFile(QStringLiteral("sdg/M23456.I01")), drive.diskA());
        std::unique_ptr<QProcess> first(startBatch(drive, {QStringLiteral("A:\\M23456.I01")},
                                                   {QStringLiteral("QELVRIN_STANDIN_OUTCOME=nosignal")}));
        const QByteArray during("\"LOAD PROGRAM STARTED\"\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), during, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!standInsOn(drive).isEmpty(), 30000);

        TempDrive other;
        makeDriveNew(other);
        copyInto(demoFile(QStringLiteral("sdg/M23456.I01")), other.diskA());
        const Outcome beside = runBatch(other, {QStringLiteral("A:\\M23456.I01")}, {QStringLiteral("XDG_RUNTIME_DIR")});
        QCOMPARE(beside.status, 0);
        QCOMPARE(beside.err, QString());
        QVERIFY(other.exists(QStringLiteral("\\QELVRIN\\TDEFECT.TXT")));
        QCOMPARE(standInsOn(drive).size(), 1);
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\SIGNAL.TXT")));

        const Outcome second = runBatch(drive, {QStringLiteral("--stages"), QStringLiteral("I")});
        QCOMPARE(second.status, 2);
        QVERIFY(second.out.contains(QStringLiteral("Cannot start more than one copy of the application")));
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), during);

        ::kill(static_cast<pid_t>(first->processId()), SIGINT);
        QVERIFY(first->waitForFinished(30000));
        QCOMPARE(first->exitCode(), 130);
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT")), during);
        QTRY_VERIFY_WITH_TIMEOUT(standInsOn(drive).isEmpty(), 30000);
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\SIGNAL.TXT")));
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batch_run.moc"
