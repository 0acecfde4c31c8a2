#include "platform/job_record.h"
#include "support/file_size_limit.h"
#include "support/temp_drive.h"
#include "support/unprivileged.h"

#include <QCryptographicHash>
#include <QDir>
#include <QScopeGuard>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <QElapsedTimer>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using qelvrin::testing::kStageOutputNames;
using qelvrin::testing::readFile;
using qelvrin::testing::TempDrive;
using qelvrin::testing::Unprivileged;

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

// How a run is started: as whom, on which spelling of the drive, seeing it
// through what. `env`: "NAME=value" sets a variable, a bare "NAME" removes it.
struct Launch {
    QString env;
    QStringList wrapper;    // a command that runs the rest of the line
    QString drive;          // the --drive text; the drive's own path when empty
    QString workingDir;
};

QProcess* startBatch(const TempDrive& drive, const QStringList& args, const Launch& how = {})
{
    auto* process = new QProcess;
    QProcessEnvironment vars = QProcessEnvironment::systemEnvironment();
    if (how.env.contains(QLatin1Char('=')))
        vars.insert(how.env.section(QLatin1Char('='), 0, 0), how.env.section(QLatin1Char('='), 1));
    else if (!how.env.isEmpty())
        vars.remove(how.env);
    process->setProcessEnvironment(vars);
    if (!how.workingDir.isEmpty())
        process->setWorkingDirectory(how.workingDir);
    const QStringList line = how.wrapper + QStringList{qEnvironmentVariable("QELVRIN_BATCH"), "--drive", how.drive.isEmpty() ? drive.root() : how.drive,
                                                       "--drive-a", drive.diskA()}
                             + args;
    process->start(line.first(), line.mid(1));
    return process;
}

QProcess* startBatch(const TempDrive& drive, const QStringList& args, const QString& env)
{
    return startBatch(drive, args, Launch{env, {}, {}, {}});
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

Outcome runBatch(const TempDrive& drive, const QStringList& args, const Launch& how = {})
{
    std::unique_ptr<QProcess> process(startBatch(drive, args, how));
    return finish(process.get(), args);
}

Outcome runBatch(const TempDrive& drive, const QStringList& args, const QString& env)
{
    return runBatch(drive, args, Launch{env, {}, {}, {}});
}

// A batch processor done in an instant: a log line, the report, the signal.
const QByteArray kInstantJob("printf 'NOTE: The SAS System\\r\\n' >> \"$4\"\n"
                             "[ -z \"$6\" ] || printf 'report\\r\\n' > \"$6\"\n"
                             ": > SIGNAL.TXT\n");

// A job blocked on a FIFO goes on when the test writes a line into it; false
// while no job waits there.
bool writeToWaitingJob(const QString& fifo)
{
    const int fd = ::open(fifo.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, "\n", 1) == 1;
    ::close(fd);
    return written;
}

// Tries until a job takes the line. QTRY evaluates its condition again
// after it held, and a second line would find the job gone.
void releaseJob(const QString& fifo)
{
    bool released = false;
    QTRY_VERIFY_WITH_TIMEOUT(released || (released = writeToWaitingJob(fifo)), 30000);
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

// A drive with data loaded and a shell script as the batch processor, which
// notes its start, hangs as `hang` says while HANG exists, then writes its
// log line and the end signal.
struct ScriptedDrive : TempDrive {
    explicit ScriptedDrive(const QByteArray& hang = "sleep 60")
    {
        writeInstalled({"QELVDATA"});
        write(kMarker, kNormalMarker);
        installBatchProcessor(": > STARTED\nif [ -e HANG ]; then " + hang + "; fi\nprintf 'NOTE: ran\\r\\n' > \"$4\"\n: > SIGNAL.TXT\n");
    }
    QString installed(const QString& name) const { return native(qelvrin::kInstallDir + name); }
    bool started() const { return QFileInfo::exists(installed("STARTED")); }
    // Readable and writable for every user, as a shared drive is.
    void share() const { QProcess::execute("chmod", {"-R", "a+rwX", QFileInfo(root()).path()}); }
    std::optional<qelvrin::BatchJob> job() const { return qelvrin::readJobRecord(installed("BATCHJOB.DAT")); }
};

const QStringList kAsNobody{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};

QStringList readOnlyView(const TempDrive& drive)
{
    return {"unshare", "--mount", "sh", "-c", "mount --bind -o ro \"$0\" \"$0\" && exec \"$@\"", drive.root()};
}

void killJob(const std::optional<qelvrin::BatchJob>& job)
{
    if (job && qelvrin::jobRunning(*job))
        ::kill(-pid_t(job->session), SIGKILL);
}

// How a hostile file is allowed to cost: the run ends by itself well within
// the deadline and never holds more memory than the cap.
constexpr int kDeadlineMs = 60000;
constexpr qint64 kResidentCapKb = 200 * 1024;

qint64 statusField(qint64 pid, const QByteArray& field)
{
    const QByteArray status = readFile(QStringLiteral("/proc/%1/status").arg(pid));
    const qsizetype at = status.indexOf(field + ':');
    return at < 0 ? -1 : status.mid(at + field.size() + 1, status.indexOf('\n', at) - at - field.size() - 1).trimmed().split(' ').first().toLongLong();
}

qint64 bytesRead(qint64 pid)
{
    const QByteArray io = readFile(QStringLiteral("/proc/%1/io").arg(pid));
    const qsizetype at = io.indexOf("rchar:");
    return at < 0 ? -1 : io.mid(at + 6, io.indexOf('\n', at) - at - 6).trimmed().toLongLong();
}

// Runs the batch runner and watches it: killed, with `watch.why` set, when
// it passes the deadline or the memory cap. `interruptWhen`, polled while
// it runs, sends SIGINT the first time it holds.
struct Watched : Outcome {
    QString why;
};
Watched runWatched(const TempDrive& drive, const QStringList& args, const std::function<bool(qint64 pid)>& interruptWhen = {})
{
    std::unique_ptr<QProcess> process(startBatch(drive, args, QStringLiteral("QELVRIN_END_PAUSE_MS=0")));
    Watched watched;
    if (!process->waitForStarted(kDeadlineMs)) {
        watched.why = QStringLiteral("did not start");
        return watched;
    }
    const qint64 pid = process->processId();
    QElapsedTimer clock;
    clock.start();
    bool interrupted = false;
    while (!process->waitForFinished(10)) {
        const qint64 resident = statusField(pid, "VmRSS");
        if (resident > kResidentCapKb)
            watched.why = QStringLiteral("resident memory reached %1 kB").arg(resident);
        else if (clock.elapsed() > kDeadlineMs)
            watched.why = QStringLiteral("still running after %1 ms").arg(kDeadlineMs);
        if (!watched.why.isEmpty()) {
            process->kill();
            process->waitForFinished();
            return watched;
        }
        if (interruptWhen && !interrupted && interruptWhen(pid)) {
            ::kill(static_cast<pid_t>(pid), SIGINT);
            interrupted = true;
        }
    }
    watched.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    watched.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    watched.err = QString::fromLocal8Bit(process->readAllStandardError());
    watched.json = QJsonDocument::fromJson(watched.out.toUtf8()).object();
    return watched;
}

// A batch processor that writes `log` as the stage's log (its fourth
// argument), notes that it ran, and signals the end.
void installScriptedProcessor(const TempDrive& drive, const QByteArray& log)
{
    drive.installBatchProcessor("log=\"$4\"; dir=\"${log%/*}\"; : > \"$dir/RAN\"\n" + log + "\n: > \"$dir/SIGNAL.TXT\"\n");
}

void makeFifo(const QString& path)
{
    QFile::remove(path);
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
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
        QCOMPARE(load.value(QStringLiteral("name")).toString(), QStringLiteral("Data Load Program"));
        QCOMPARE(load.value(QStringLiteral("batchProcessorExitStatus")).toInt(-1), 1);
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
        QTest::addColumn<QByteArray>("batchProcessor"); // with data loaded; empty: none
        const QStringList none;
        QTest::newRow("missing SDG file") << none << QStringList{"A:\\M99999.I01"} << 2 << "cannot find the SDG file A:\\M99999.I01" << QByteArray();
        QTest::newRow("assessments without data") << none << QStringList{"--stages", "IF"} << 2 << "no data loaded" << QByteArray();
        QTest::newRow("not an SDG name") << QStringList{"X12345.I01"} << QStringList{"--json", "A:\\X12345.I01"} << 2 << "No Files were Loaded" << QByteArray();
        QTest::newRow("batch processor leading nowhere") << QStringList{"sdg/M23456.I01"} << QStringList{"A:\\M23456.I01"} << 3 << "SAS.EXE" << QByteArray();
        QTest::newRow("a log that cannot be judged") << none << QStringList{"--stages", "I"} << 1 << "could not be judged: the log is empty"
                                                     << QByteArray("touch SIGNAL.TXT\n");
    }
    void requestsThatCannotRun()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(QByteArray, batchProcessor);
        TempDrive drive;
        if (!batchProcessor.isEmpty()) {
            drive.installBatchProcessor(batchProcessor);
            drive.writeInstalled({"QELVDATA"});
        } else {
            // The set-up keeps any entry there, and the launch finds nothing to start.
            QDir().mkpath(drive.native(QStringLiteral("\\SAS")));
            QFile::link(QStringLiteral("/nonexistent/batch"), drive.native(QStringLiteral("\\SAS\\SAS.EXE")));
        }
        for (const QString& name : files)
            drive.write(QStringLiteral("A:\\") + QFileInfo(name).fileName(), "x\r\n");
        const Outcome run = runBatch(drive, args);
        QCOMPARE(run.status, status);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        if (args.contains(QStringLiteral("--json")))
            QCOMPARE(run.json.value(QStringLiteral("error")).toString(), says);
        if (status != 2)
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
            releaseJob(fifo);
        }
        const Outcome run = finish(process.get(), args, 30000);
        if (!afterSignal.isEmpty() && !releaseWhileJudging)
            releaseJob(fifo);
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

    // A first start on a full disk lays the drive out only in part; the next
    // start completes it and runs.
    void halfLaidOutDrive_isCompletedByTheNextStart()
    {
        NewDrive drive({"sdg/M23456.I01"});
        {
            // The stage programs fit, the batch processor does not.
            const qelvrin::testing::FileSizeLimit full{140};
            QCOMPARE(runBatch(drive, {"A:\\M23456.I01"}).status, 2);
        }
        QVERIFY(drive.exists(QStringLiteral("\\QELVRIN\\FASMTJCL")));
        QVERIFY(!drive.exists(QStringLiteral("\\SAS\\SAS.EXE")));
        const Outcome run = runBatch(drive, {"A:\\M23456.I01"});
        QCOMPARE(run.status, 0);
    }

    // The log decides the outcome; the batch processor's exit stands beside it.
    void batchProcessorsExitStatus_isReportedBesideTheOutcome_data()
    {
        QTest::addColumn<QByteArray>("end");  // the script's last command
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("clean exit") << QByteArray("exit 0") << 0;
        QTest::newRow("failure it did not log") << QByteArray("exit 7") << 7;
        QTest::newRow("ended by a signal") << QByteArray("kill -KILL $$") << 128 + SIGKILL;
    }
    void batchProcessorsExitStatus_isReportedBesideTheOutcome()
    {
        QFETCH(QByteArray, end);
        QFETCH(int, exitStatus);
        TempDrive drive;
        drive.writeInstalled({"QELVDATA"});
        drive.installBatchProcessor("printf 'NOTE: done\\r\\n' > \"$4\"\n: > SIGNAL.TXT\n" + end + "\n");
        const Outcome run = runBatch(drive, {"--json", "--stages", "I"});
        QCOMPARE(run.status, 0);
        const QJsonObject stage = run.json.value(QStringLiteral("stages")).toArray().at(0).toObject();
        QCOMPARE(stage.value(QStringLiteral("outcome")).toString(), QStringLiteral("completed"));
        QCOMPARE(stage.value(QStringLiteral("batchProcessorExitStatus")).toInt(-1), exitStatus);
    }

    // What the operator cannot read stops the run before anything is purged
    // or started, with the message that names it and the reason.
    void unreadableForTheOperator_stopsTheRun_data()
    {
        QTest::addColumn<QString>("path");  // made unreadable
        QTest::addColumn<QString>("how");   // "folder": made a folder; else the mode in octal
        QTest::addColumn<QString>("says");
        QTest::newRow("run marker is a folder") << "\\QELVRIN\\SHUTDOWN.DAT" << "folder"
                                                << "The run marker could not be read: C:\\QELVRIN\\SHUTDOWN.DAT (Is a directory)";
        QTest::newRow("run marker without read permission") << "\\QELVRIN\\SHUTDOWN.DAT" << "000"
                                                            << "The run marker could not be read: C:\\QELVRIN\\SHUTDOWN.DAT (Permission denied)";
        QTest::newRow("SDG folder that cannot be listed") << "A:\\" << "311" << "The SDG file could not be read: A:\\ (Permission denied)";
    }
    void unreadableForTheOperator_stopsTheRun()
    {
        QFETCH(QString, path);
        QFETCH(QString, how);
        QFETCH(QString, says);
        NewDrive drive({"sdg/M23456.I01"});
        QVERIFY(QDir().mkpath(drive.native(QStringLiteral("\\QELVRIN"))));
        drive.writeInstalled({"DLOADJCL.LOG"}, "kept\r\n");
        if (how == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(drive.native(path)));
        else if (!path.startsWith(QLatin1String("A:")))
            drive.write(path, "\"NORMAL\"\r\n");
        QVERIFY(Unprivileged::handOver(QFileInfo(drive.root()).path()));
        const QByteArray target = QFile::encodeName(drive.native(path));
        if (how != QLatin1String("folder"))
            QCOMPARE(::chmod(target.constData(), mode_t(how.toInt(nullptr, 8))), 0);
        const Outcome run = runBatch(drive, {"--json", "A:\\M23456.I01"}, Launch{QStringLiteral("XDG_RUNTIME_DIR"), Unprivileged::wrapper(), {}, {}});
        ::chmod(target.constData(), 0755); // so the temporary folder can go
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(says) || run.out.contains(says), qPrintable(run.out + run.err));
        QCOMPARE(run.json.value(QStringLiteral("error")).toString(), says);
        QVERIFY(run.json.value(QStringLiteral("stages")).toArray().isEmpty());
        QCOMPARE(standInsOn(drive), 0);
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\SIGNAL.TXT")));
        if (!path.startsWith(QLatin1String("A:")))
            QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\DLOADJCL.LOG")), QByteArray("kept\r\n"));
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

    // Each launch step that fails stops the launch, names the file and the
    // system's reason, and the batch processor is not started; an end signal
    // that is a link leading nowhere is deleted like any other.
    void launchSteps_areChecked_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::newRow("read-only drive with an earlier run") << "read-only" << 2 << "QELVRIN\\IASMTJCL.LOG could not be deleted (Read-only file system)";
        QTest::newRow("install folder 555, another user") << "555" << 2 << "QELVRIN\\IASMTJCL.LOG could not be deleted (Permission denied)";
        QTest::newRow("end signal of another user, sticky folder") << "sticky" << 2 << "QELVRIN\\SIGNAL.TXT could not be deleted (Operation not permitted)";
        QTest::newRow("marker of another user, read-only") << "marker" << 2 << "QELVRIN\\SHUTDOWN.DAT could not be written (Permission denied)";
        QTest::newRow("end signal a link to nowhere") << "dangling" << 0 << "The Initial Assessment Program has successfully completed.";
    }
    void launchSteps_areChecked()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, says);
        // Slower than the first tick, so a leftover signal would end the stage before it wrote.
        ScriptedDrive drive("sleep 1");
        drive.writeInstalled({"HANG"});
        drive.writeInstalled({"SIGNAL.TXT"}, "old\r\n");
        if (kind == "read-only" || kind == "555")
            drive.writeInstalled({"IASMTJCL.LOG"}, "old\r\n");
        Launch how;
        if (kind == "read-only") {
            how.wrapper = readOnlyView(drive);
        } else if (kind == "dangling") {
            QFile::remove(drive.installed("SIGNAL.TXT"));
            QVERIFY(QFile::link(drive.installed("NOWHERE"), drive.installed("SIGNAL.TXT")));
        } else {
            how.wrapper = kAsNobody;
            drive.share();
            if (kind == "555")
                QFile::setPermissions(drive.native("\\QELVRIN"), QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                                                    | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther);
            if (kind == "sticky")
                QCOMPARE(QProcess::execute("chmod", {"1777", drive.native("\\QELVRIN")}), 0);
            if (kind == "marker")
                QFile::setPermissions(drive.native(kMarker), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        const Outcome run = runBatch(drive, {"--json", "--stages", "I"}, how);
        QCOMPARE(run.status, status);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        QCOMPARE(drive.started(), status == 0);
        if (status == 0)
            QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\IASMTJCL.LOG")), QByteArray("NOTE: ran\r\n"));
        else
            QVERIFY(run.json.value(QStringLiteral("error")).toString().contains(says));
    }

    // A job left running from an earlier run: the close request reaches the
    // whole job; what outlives it keeps the drive until it has ended.
    void earlierJob_keepsTheDriveUntilItEnds_data()
    {
        QTest::addColumn<QByteArray>("hang");
        QTest::addColumn<bool>("interrupted");
        QTest::addColumn<bool>("outlives");
        QTest::newRow("ignores the close request") << QByteArray("trap '' TERM; sleep 60") << true << true;
        QTest::newRow("wrapper without exec") << QByteArray("sleep 60") << true << false;
        QTest::newRow("child outlives the processor") << QByteArray("(trap '' TERM; exec sleep 60) & :") << false << true;
    }
    void earlierJob_keepsTheDriveUntilItEnds()
    {
        QFETCH(QByteArray, hang);
        QFETCH(bool, interrupted);
        QFETCH(bool, outlives);
        ScriptedDrive drive(hang);
        drive.writeInstalled({"HANG"});
        const auto cleanUp = qScopeGuard([&] { killJob(drive.job()); });
        std::unique_ptr<QProcess> first(startBatch(drive, {"--stages", "I"}));
        if (interrupted) {
            QTRY_VERIFY_WITH_TIMEOUT(drive.started(), 30000);
            ::kill(pid_t(first->processId()), SIGINT);
        }
        QVERIFY(first->waitForFinished(60000));
        QCOMPARE(first->exitCode(), interrupted ? 130 : 0);
        const std::optional<qelvrin::BatchJob> job = drive.job();
        QVERIFY(job);
        if (outlives) {
            QVERIFY(qelvrin::jobRunning(*job));
            const Outcome refused = runBatch(drive, {"--stages", "I"});
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.out.contains(QStringLiteral("still running (process group %1)").arg(job->session)), qPrintable(refused.out));
            killJob(job);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!qelvrin::jobRunning(*job), 30000);
        QFile::remove(drive.installed("HANG"));
        // Accepted now; after the interrupted run it purges the data first.
        const Outcome accepted = runBatch(drive, {"--stages", "I"});
        QCOMPARE(accepted.status, interrupted ? 2 : 0);
        QVERIFY2(!interrupted || accepted.err.contains(QStringLiteral("no data loaded")), qPrintable(accepted.err));
    }

    // The lock belongs to the drive: however the second run is started and
    // whatever its environment, it meets the first one's lock.
    void secondRun_isRefusedWhateverItsEnvironment_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::addColumn<QString>("env");
        QTest::addColumn<bool>("asNobody");
        QTest::newRow("another runtime folder") << "" << "XDG_RUNTIME_DIR=" + QDir::tempPath() << false;
        QTest::newRow("no runtime folder") << "" << "XDG_RUNTIME_DIR" << false;
        QTest::newRow("another user") << "" << "XDG_RUNTIME_DIR" << true;
        QTest::newRow("through a link") << "link" << "" << false;
        QTest::newRow("trailing slash") << "root/" << "" << false;
        QTest::newRow("dot slash") << "./C" << "" << false;
        QTest::newRow("relative") << "C" << "" << false;
        QTest::newRow("install folder and up") << "root/QELVRIN/.." << "" << false;
    }
    void secondRun_isRefusedWhateverItsEnvironment()
    {
        QFETCH(QString, spelling);
        QFETCH(QString, env);
        QFETCH(bool, asNobody);
        ScriptedDrive drive;
        drive.writeInstalled({"HANG"});
        drive.share();
        const auto cleanUp = qScopeGuard([&] { killJob(drive.job()); });
        std::unique_ptr<QProcess> first(startBatch(drive, {"--stages", "I"}));
        QTRY_VERIFY_WITH_TIMEOUT(drive.started(), 30000);

        const QString parent = QFileInfo(drive.root()).path();
        Launch how{env, asNobody ? kAsNobody : QStringList(), spelling, parent};
        if (spelling == "link") {
            QVERIFY(QFile::link(drive.root(), parent + "/link"));
            how.drive = parent + "/link";
        }
        how.drive.replace(QStringLiteral("root"), drive.root());
        const Outcome second = runBatch(drive, {"--stages", "I"}, how);
        QCOMPARE(second.status, 2);
        QVERIFY2(second.out.contains(QStringLiteral("Cannot start more than one copy of the application")), qPrintable(second.out + second.err));
        QCOMPARE(drive.read(kMarker), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));

        ::kill(pid_t(first->processId()), SIGINT);
        QVERIFY(first->waitForFinished(30000));
    }

    // Nothing under a world-writable folder decides: lock files planted
    // where the lock used to live, and one in the install folder that another
    // user made and nobody holds, leave the drive free.
    void plantedLockFiles_doNotBlockTheDrive()
    {
        ScriptedDrive drive;
        drive.share();
        const QString temp = QFileInfo(drive.root()).path() + "/tmp";
        QDir().mkpath(temp + "/qelvrin-65534");
        const QByteArray key = QCryptographicHash::hash(QFileInfo(drive.root()).canonicalFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
        qelvrin::testing::writeFile(temp + "/qelvrin-" + QString::fromLatin1(key) + ".lock", "1\n");
        QFile::setPermissions(temp + "/qelvrin-" + QString::fromLatin1(key) + ".lock", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        drive.writeInstalled({"QELVRIN.LCK"}, "1\n");
        QFile::setPermissions(drive.installed("QELVRIN.LCK"), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const Outcome run = runBatch(drive, {"--stages", "I"}, Launch{"TMPDIR=" + temp, kAsNobody, {}, {}});
        QCOMPARE(run.status, 0);
    }

    // Entries that are not regular files, or are huge, where the runner reads
    // or writes: each is refused with its reason or read only as far as
    // needed, the run ends well within the deadline, its memory stays small,
    // and a FIFO or device is left as it was. Status 2: refused before the
    // batch processor ran; -1: the marker's rules decide.
    void hostileEntries_endPromptlyInBoundedMemory_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("kind");     // fifo, zero (a link to /dev/zero), sparse:<size>
        QTest::addColumn<QByteArray>("log");   // the stage's log as the processor leaves it
        QTest::addColumn<int>("status");       // -1: any status
        QTest::addColumn<QString>("says");
        const QByteArray fine("printf 'NOTE: done\\r\\n' > \"$log\"");
        QTest::newRow("marker a FIFO") << "\\QELVRIN\\SHUTDOWN.DAT" << "fifo" << fine << -1 << QString();
        QTest::newRow("marker a link to /dev/zero") << "\\QELVRIN\\SHUTDOWN.DAT" << "zero" << fine << -1 << QString();
        QTest::newRow("marker 3 GiB sparse") << "\\QELVRIN\\SHUTDOWN.DAT" << "sparse:3G" << fine << 0 << QString();
        QTest::newRow("SDG sibling a FIFO") << "A:\\M12345.I02" << "fifo" << fine << 2 << "M12345.I02 (not a regular file)";
        QTest::newRow("SDG sibling a link to /dev/zero") << "A:\\M12345.I02" << "zero" << fine << 2 << "M12345.I02 (not a regular file)";
        QTest::newRow("log judged as a link to /dev/zero") << QString() << QString() << QByteArray("rm -f \"$log\"; ln -s /dev/zero \"$log\"") << 1
                                                           << "the log could not be opened: not a regular file";
        QTest::newRow("log judged as a FIFO") << QString() << QString() << QByteArray("rm -f \"$log\"; mkfifo \"$log\"") << 1
                                              << "the log could not be opened: not a regular file";
        QTest::newRow("log of one 3 GiB line") << QString() << QString() << QByteArray("truncate -s 3G \"$log\"; printf 'stopped\\r\\n' >> \"$log\"") << 1
                                               << "[cut at 1000 bytes]";
    }
    void hostileEntries_endPromptlyInBoundedMemory()
    {
        QFETCH(QString, entry);
        QFETCH(QString, kind);
        QFETCH(QByteArray, log);
        QFETCH(int, status);
        QFETCH(QString, says);
        TempDrive drive;
        installScriptedProcessor(drive, log);
        drive.write(QStringLiteral("A:\\M12345.I01"), "record\r\n");
        const QString path = entry.isEmpty() ? QString() : drive.native(entry);
        if (kind == QLatin1String("fifo"))
            makeFifo(path);
        else if (kind == QLatin1String("zero"))
            QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        else if (kind.startsWith(QLatin1String("sparse:")))
            QCOMPARE(QProcess::execute(QStringLiteral("truncate"), {"-s", kind.mid(7), path}), 0);

        const Watched run = runWatched(drive, {"--stages", "D", "A:\\M12345.I01"});
        QVERIFY2(run.why.isEmpty(), qPrintable(run.why));
        if (status >= 0)
            QCOMPARE(run.status, status);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        QVERIFY(run.out.size() + run.err.size() < 100000);
        if (status >= 0)
            QCOMPARE(drive.exists(QStringLiteral("\\QELVRIN\\RAN")), status != 2);
        struct stat info {};
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &info), 0);
            QVERIFY(S_ISFIFO(info.st_mode));
        } else if (kind == QLatin1String("zero")) {
            QCOMPARE(QFileInfo(path).symLinkTarget(), QStringLiteral("/dev/zero"));
        } else if (entry.endsWith(QLatin1String("SHUTDOWN.DAT"))) {
            QCOMPARE(drive.read(kMarker), kNormalMarker);
        }
    }

    // A failure line as long as the log is printed and recorded cut, and
    // the JSON says so.
    void longFailureLine_isCutInTranscriptAndJson()
    {
        TempDrive drive;
        installScriptedProcessor(drive, "{ printf 'NOTE: fine\\r\\n'; head -c 3000000 /dev/zero | tr '\\0' x; printf ' stopped\\r\\n'; } > \"$log\"");
        drive.write(QStringLiteral("A:\\M12345.I01"), "record\r\n");
        const Watched run = runWatched(drive, {"--json", "A:\\M12345.I01"});
        QVERIFY2(run.why.isEmpty(), qPrintable(run.why));
        QCOMPARE(run.status, 1);
        const QJsonObject load = run.json.value(QStringLiteral("stages")).toArray().at(0).toObject();
        QCOMPARE(load.value(QStringLiteral("failureLineNumber")).toInt(), 2);
        QCOMPARE(load.value(QStringLiteral("failureLine")).toString(), QString(1000, QLatin1Char('x')));
        QCOMPARE(load.value(QStringLiteral("failureLineCut")).toBool(false), true);
        QVERIFY(run.out.size() < 4000);
        QVERIFY2(run.err.contains(QString(1000, QLatin1Char('x')) + QStringLiteral(" [cut at 1000 bytes]\n")), qPrintable(run.err.left(200)));
        QVERIFY(run.err.size() < 4000);
    }

    // Ctrl-C while the runner is busy reading, which keeps its event loop
    // from hearing the signal: the copy of a 2 GiB SDG file and the
    // judgement of a 64 GiB log (both sparse, one endless line) stop, and
    // the run ends interrupted.
    void interruptDuringLongRead_endsInterrupted_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<bool>("processorRan");
        QTest::newRow("data-load copy") << QByteArray(": > \"$log\"") << false;
        QTest::newRow("completion check") << QByteArray("truncate -s 64G \"$log\"") << true;
    }
    void interruptDuringLongRead_endsInterrupted()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, processorRan);
        TempDrive drive;
        installScriptedProcessor(drive, log);
        drive.write(QStringLiteral("A:\\M12345.I01"), "record\r\n");
        if (!processorRan)
            QCOMPARE(QProcess::execute(QStringLiteral("truncate"), {"-s", "2G", drive.native(QStringLiteral("A:\\M12345.I02"))}), 0);
        const QString signal = drive.native(QStringLiteral("\\QELVRIN\\SIGNAL.TXT"));
        qint64 readBefore = -1;
        // Deep in the read: a good 100 MB past where the watched phase began.
        const Watched run = runWatched(drive, {"--json", "--stages", "D", "A:\\M12345.I01"}, [&](qint64 pid) {
            const bool phase = processorRan ? QFileInfo::exists(signal) : QFileInfo(drive.native(qelvrin::kDataFilePath)).size() > 0;
            if (phase && readBefore < 0)
                readBefore = bytesRead(pid);
            return phase && bytesRead(pid) > readBefore + 100'000'000;
        });
        QVERIFY2(run.why.isEmpty(), qPrintable(run.why));
        QCOMPARE(run.status, 130);
        QCOMPARE(run.json.value(QStringLiteral("stages")).toArray().at(0).toObject().value(QStringLiteral("outcome")).toString(),
                 QStringLiteral("interrupted"));
        QCOMPARE(drive.exists(QStringLiteral("\\QELVRIN\\RAN")), processorRan);
        QVERIFY2(!run.err.contains(QStringLiteral("could not")), qPrintable(run.err));
        QVERIFY(drive.read(kMarker) != kNormalMarker);
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batch_run.moc"
