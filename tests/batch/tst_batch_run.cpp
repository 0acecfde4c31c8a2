#include "support/temp_drive.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using qelvrin::testing::kStageOutputNames;
using qelvrin::testing::readFile;
using qelvrin::testing::TempDrive;

namespace {

const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
const QByteArray kNormalMarker("\"NORMAL\"\r\n");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json; // the --json result: stdout holds nothing else
};

// A drive without \QELVRIN\, so the runner lays it out, the stand-in
// included; the demo files named are put on diskette A.
struct NewDrive : TempDrive {
    explicit NewDrive(const QStringList& demoFiles = {})
    {
        QDir().rmdir(native(QStringLiteral("\\QELVRIN")));
        for (const QString& name : demoFiles)
            QFile::copy(qEnvironmentVariable("QELVRIN_DEMO_DIR") + QLatin1Char('/') + name, diskA() + QLatin1Char('/') + QFileInfo(name).fileName());
    }
};

// "NAME=value" sets a variable, a bare "NAME" removes it.
QProcess* startBatch(const TempDrive& drive, const QStringList& args, const QString& env = {})
{
    auto* process = new QProcess;
    QProcessEnvironment vars = QProcessEnvironment::systemEnvironment();
    if (env.contains(QLatin1Char('=')))
        vars.insert(env.section(QLatin1Char('='), 0, 0), env.section(QLatin1Char('='), 1));
    else if (!env.isEmpty())
        vars.remove(env);
    process->setProcessEnvironment(vars);
    process->start(qEnvironmentVariable("QELVRIN_BATCH"), QStringList{"--drive", drive.root(), "--drive-a", drive.diskA()} + args);
    return process;
}

Outcome finish(QProcess* process, const QStringList& args, int waitMs = 120000)
{
    Outcome outcome;
    if (!process->waitForFinished(waitMs))
        return outcome;
    outcome.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process->readAllStandardError());
    if (args.contains(QStringLiteral("--json")))
        outcome.json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
    return outcome;
}

Outcome runBatch(const TempDrive& drive, const QStringList& args, const QString& env = {})
{
    std::unique_ptr<QProcess> process(startBatch(drive, args, env));
    return finish(process.get(), args);
}

// A batch processor done in an instant: a log line, the report, the signal.
const QByteArray kInstantJob("printf 'NOTE: The SAS System\\r\\n' >> \"$4\"\n"
                             "[ -z \"$6\" ] || printf 'report\\r\\n' > \"$6\"\n"
                             ": > SIGNAL.TXT\n");

// A job blocked on a FIFO goes on when the test writes a line into it; false
// while no job waits there.
bool releaseJob(const QString& fifo)
{
    const int fd = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, "\n", 1) == 1;
    ::close(fd);
    return written;
}

QString outcomeOf(const Outcome& run, int stage)
{
    return run.json.value(QStringLiteral("stages")).toArray().at(stage).toObject().value(QStringLiteral("outcome")).toString();
}

// Live stand-in processes working on this drive.
int standInsOn(const TempDrive& drive)
{
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        const QByteArray cmdline = readFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!readFile(QStringLiteral("/proc/%1/status").arg(pid)).contains("State:\tZ") && cmdline.contains("-SYSIN")
            && cmdline.contains(drive.root().toLocal8Bit()))
            ++count;
    }
    return count;
}

} // namespace

class TestBatchRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void malformedSample_endsAbnormallyWithTheFailureLine()
    {
        NewDrive drive({"malformed/M34567.I01"});
        const Outcome run = runBatch(drive, {"--json", "A:\\M34567.I01"});
        QCOMPARE(run.status, 1);
        const QString log = drive.native(QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"));
        QCOMPARE(run.json.value(QStringLiteral("exitStatus")).toInt(-1), 1);
        QCOMPARE(run.json.value(QStringLiteral("sdg")).toString(), QStringLiteral("M34567"));
        const QJsonArray stages = run.json.value(QStringLiteral("stages")).toArray();
        QCOMPARE(stages.size(), 1); // no assessment after the abnormal end
        const QJsonObject load = stages.at(0).toObject();
        QCOMPARE(load.value(QStringLiteral("outcome")).toString(), QStringLiteral("abnormal"));
        QCOMPARE(load.value(QStringLiteral("log")).toString(), log);
        const int lineNumber = load.value(QStringLiteral("failureLineNumber")).toInt();
        const QList<QByteArray> lines = readFile(log).split('\n');
        QVERIFY(lineNumber > 0 && lineNumber <= lines.size());
        QCOMPARE(QString::fromLatin1(lines.at(lineNumber - 1)).trimmed(), load.value(QStringLiteral("failureLine")).toString().trimmed());
        QCOMPARE(drive.read(kMarker), kNormalMarker);
    }

    // 2: the request cannot be run; 3: the batch processor cannot be started.
    void requestsThatCannotRun_data()
    {
        QTest::addColumn<QStringList>("files"); // demo files on diskette A
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QStringList none;
        QTest::newRow("missing SDG file") << none << QStringList{"A:\\M99999.I01"} << 2 << "cannot find the SDG file A:\\M99999.I01";
        QTest::newRow("assessments without data") << none << QStringList{"--stages", "IF"} << 2 << "no data loaded";
        QTest::newRow("not an SDG name") << QStringList{"X12345.I01"} << QStringList{"--json", "A:\\X12345.I01"} << 2 << "No Files were Loaded";
        QTest::newRow("no batch processor") << QStringList{"sdg/M23456.I01"} << QStringList{"A:\\M23456.I01"} << 3 << "SAS.EXE";
    }
    void requestsThatCannotRun()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        TempDrive drive; // \QELVRIN\ exists, so no set-up puts the stand-in in place
        for (const QString& name : files)
            drive.write(QStringLiteral("A:\\") + QFileInfo(name).fileName(), "x\r\n");
        const Outcome run = runBatch(drive, args);
        QCOMPARE(run.status, status);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        if (args.contains(QStringLiteral("--json")))
            QCOMPARE(run.json.value(QStringLiteral("error")).toString(), says);
        if (status == 3)
            QCOMPARE(drive.read(kMarker), kNormalMarker);
    }

    // The runner judges a stage once nothing can write its log: at once when
    // the job has ended, when it ends if it outlives its signal, and after
    // the pause at the latest. The pause of 60 s would outlast the wait.
    void stageEnd_judgedWhenTheJobEnds_data()
    {
        QTest::addColumn<QByteArray>("afterSignal"); // what the job does once it signalled
        QTest::addColumn<QString>("pauseMs");
        QTest::addColumn<bool>("releaseWhileJudging"); // the test lets the job go on before the verdict
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("outcome");
        const QByteArray wait("read _ < \"$FIFO\"\n");
        QTest::newRow("instant job: no pause") << QByteArray() << "60000" << false << 0 << "completed";
        QTest::newRow("failure line after the signal") << wait + "printf 'ERROR: processing stopped\\r\\n' >> \"$4\"\n"
                                                       << "60000" << true << 1 << "abnormal";
        QTest::newRow("job outlives the pause") << wait << "50" << false << 0 << "completed";
    }
    void stageEnd_judgedWhenTheJobEnds()
    {
        QFETCH(QByteArray, afterSignal);
        QFETCH(QString, pauseMs);
        QFETCH(bool, releaseWhileJudging);
        QFETCH(int, status);
        QFETCH(QString, outcome);
        TempDrive drive;
        const QString fifo = drive.diskA() + QStringLiteral("/job.fifo");
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        drive.installBatchProcessor("FIFO='" + fifo.toLocal8Bit() + "'\n" + kInstantJob + afterSignal);
        drive.write(QStringLiteral("\\QELVRIN\\QELVDATA"), "x\r\n");
        const QStringList args{"--json", "--stages", "I"};
        std::unique_ptr<QProcess> process(startBatch(drive, args, QStringLiteral("QELVRIN_END_PAUSE_MS=") + pauseMs));
        if (releaseWhileJudging) {
            QTRY_VERIFY_WITH_TIMEOUT(drive.exists(QStringLiteral("\\QELVRIN\\SIGNAL.TXT")), 30000);
            QCOMPARE(process->state(), QProcess::Running);
            QTRY_VERIFY_WITH_TIMEOUT(releaseJob(fifo), 30000);
        }
        const Outcome run = finish(process.get(), args, 30000);
        if (!afterSignal.isEmpty() && !releaseWhileJudging)
            QTRY_VERIFY_WITH_TIMEOUT(releaseJob(fifo), 30000);
        QCOMPARE(run.status, status);
        QCOMPARE(outcomeOf(run, 0), outcome);
    }

    // Each further file stands for the next diskette wherever it lies; one
    // that cannot serve stops the run before anything is purged.
    void furtherDiskettes_data()
    {
        QTest::addColumn<QStringList>("files"); // under the demo folder; "scratch/" a folder of the test's
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::addColumn<int>("dataLines");
        const QString first = QStringLiteral("diskettes/disk1/M12345.I01");
        QTest::newRow("two folders") << QStringList{first, "diskettes/disk2/M12345.I04"} << 0
                                     << "another disk: Yes\nInorganic PC-VQS [ SDG: M12345 ]\nDo you want to load another disk: No" << 121;
        QTest::newRow("missing") << QStringList{first, "diskettes/disk2/M12345.I05"} << 2
                                 << "cannot find the SDG file" << 0;
        QTest::newRow("name not fitting") << QStringList{first, "scratch/X12345.I04"} << 2
                                          << "does not fit the SDG's pattern M12345.I??" << 0;
        QTest::newRow("another SDG") << QStringList{first, "sdg/M23456.I01"} << 2
                                     << "belongs to the SDG M23456, not to M12345" << 0;
        QTest::newRow("same folder twice") << QStringList{first, "diskettes/disk1/M12345.I02"} << 2
                                           << "lies in a folder already loaded" << 0;
    }
    void furtherDiskettes()
    {
        QFETCH(QStringList, files);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(int, dataLines);
        TempDrive drive;
        drive.installBatchProcessor(kInstantJob);
        drive.writeInstalled(kStageOutputNames, "earlier\r\n");
        drive.write(QStringLiteral("B:\\X12345.I04"), "x\r\n");
        QStringList args{"--json"};
        for (const QString& file : files) {
            args << (file.startsWith(QLatin1String("scratch/")) ? drive.diskB() + file.mid(7)
                                                                 : qEnvironmentVariable("QELVRIN_DEMO_DIR") + QLatin1Char('/') + file);
        }
        const Outcome run = runBatch(drive, args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        if (status != 0) {
            QCOMPARE(run.json.value(QStringLiteral("stages")).toArray().size(), 0);
            QCOMPARE(drive.countInstalled(kStageOutputNames), kStageOutputNames.size());
            QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\QELVDATA")), QByteArray("earlier\r\n"));
            return;
        }
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\QELVDATA")).count("\r\n"), dataLines);
    }

    // A stage that never signals: a run on another drive goes through beside
    // it (started without XDG_RUNTIME_DIR, as from cron: not a word on
    // stderr), a second copy on the same drive is refused, and Ctrl-C closes
    // the stage and leaves the marker unclean.
    void runningStage_excludesSecondCopyOnlyOnItsDrive_andInterruptLeavesMarker()
    {
        NewDrive drive({"sdg/M23456.I01"});
        std::unique_ptr<QProcess> first(startBatch(drive, {"A:\\M23456.I01"}, QStringLiteral("QELVRIN_STANDIN_OUTCOME=nosignal")));
        const QByteArray during("\"LOAD PROGRAM STARTED\"\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(drive.read(kMarker), during, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(standInsOn(drive), 1, 30000);

        NewDrive other({"sdg/M23456.I01"});
        const Outcome beside = runBatch(other, {"A:\\M23456.I01"}, QStringLiteral("XDG_RUNTIME_DIR"));
        QCOMPARE(beside.status, 0);
        QCOMPARE(beside.err, QString());
        QCOMPARE(standInsOn(drive), 1);

        const Outcome second = runBatch(drive, {"--stages", "I"});
        QCOMPARE(second.status, 2);
        QVERIFY(second.out.contains(QStringLiteral("Cannot start more than one copy of the application")));
        QCOMPARE(drive.read(kMarker), during);

        ::kill(static_cast<pid_t>(first->processId()), SIGINT);
        QVERIFY(first->waitForFinished(30000));
        QCOMPARE(first->exitCode(), 130);
        QCOMPARE(drive.read(kMarker), during);
        QTRY_COMPARE_WITH_TIMEOUT(standInsOn(drive), 0, 30000);
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\SIGNAL.TXT")));
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batch_run.moc"
