#include "batch_fixture.h"
#include "support/unprivileged.h"

#include <QDir>
#include <QScopeGuard>

using namespace qelvrin::testing;

namespace {

// Puts one hostile thing on the drive: "KIND PATH", PATH a DOS path.
void plant(const TempDrive& drive, const QString& step)
{
    const QString kind = step.section(QLatin1Char(' '), 0, 0);
    const QString path = drive.native(step.section(QLatin1Char(' '), 1));
    QDir().mkpath(QFileInfo(path).path());
    if (!kind.startsWith(QLatin1String("chmod:")) && !kind.startsWith(QLatin1String("owner:")))
        QFile::remove(path);
    if (kind == QLatin1String("fifo"))
        QVERIFY(os::makeFifo(path));
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
    else if (kind.startsWith(QLatin1String("link:"))) // link:TARGET, native, or beside the link
        QVERIFY(QFile::link(QFileInfo(path).dir().filePath(kind.mid(5)), path));
    else if (kind.startsWith(QLatin1String("size:")))
        QCOMPARE(QProcess::execute("truncate", {"-s", kind.mid(5), path}), 0);
    else if (kind.startsWith(QLatin1String("chmod:")))
        QCOMPARE(QProcess::execute("chmod", {kind.mid(6), path}), 0);
    else if (kind.startsWith(QLatin1String("owner:")))
        QCOMPARE(QProcess::execute("chown", {"-h", kind.mid(6), path}), 0);
    else if (kind == QLatin1String("lines"))
        writeFile(path, QByteArray(1 << 20, 'x') + "\r\n");
    else
        writeFile(path, kind.toLatin1() + "\r\n");
}

} // namespace

class TestBatchRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whatever the drive, job or command line hold, the run ends within a minute in bounded memory with the status and message
    // due, and with no stage running leaves the marker "NORMAL". A message starting "!" is a refusal: on stderr, and no stage
    // announced.
    void hostileRuns_data()
    {
        QTest::addColumn<QByteArray>("job");     // the batch processor's script
        QTest::addColumn<QStringList>("plant");  // see plant()
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("how");    // "nobody": the drive handed over to it; "ulimit:N"; "readonly"; "NAME=value"
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("markerNormal");
        const QByteArray logs("printf 'NOTE: done\\r\\n' > \"$log\"\n");
        const QByteArray ends(logs + ": > \"$dir/SIGNAL.TXT\"\n");
        const QStringList I{"--stages", "I"};
        const QStringList D{"A:\\M12345.I01"};
        const QStringList none;
        const QString fifo("fifo ");
        const QString notStarted("!The Initial Assessment Program was not started: C:\\QELVRIN\\");
        const QString unsafe("!can be written by every user");
        // Requests that cannot run.
        QTest::newRow("missing SDG file") << ends << none << QStringList{"A:\\M99999.I01"} << none << 2 << "cannot find the SDG file A:\\M99999.I01" << false;
        QTest::newRow("no data loaded") << ends << none << QStringList{"--json", "--stages", "IF"} << QStringList{"remove"} << 2 << "no data loaded" << true;
        QTest::newRow("not an SDG name") << ends << QStringList{"x A:\\X12345.I01"} << QStringList{"A:\\X12345.I01"} << none << 2 << "!No Files were Loaded" << true;
        QTest::newRow("stages: load not first") << ends << none << QStringList{"--stages", "ID", "A:\\M12345.I01"} << none << 2 << "the Data Load stage must come first" << false;
        QTest::newRow("stages: one twice") << ends << none << QStringList{"--stages", "II"} << none << 2 << "--stages names I twice" << false;
        QTest::newRow("stages: SDG file without load") << ends << none << QStringList{"--stages", "I", "A:\\M12345.I01"} << none << 2 << "only read by the Data Load stage" << false;
        QTest::newRow("stages: load without SDG file") << ends << none << QStringList{"--stages", "D"} << none << 2 << "the Data Load stage needs an SDG file" << false;
        QTest::newRow("stages in lower case") << ends << none << QStringList{"--stages", "fi"} << none << 0 << "Full Assessment Program has successfully completed." << true;
        QTest::newRow("--drive given empty") << ends << none << QStringList{"--drive", "", "--stages", "I"} << none << 2 << "--drive needs a folder" << false;
        QTest::newRow("--drive-b given empty") << ends << none << QStringList{"--drive-b=", "--stages", "I"} << none << 2 << "--drive-b needs a folder" << false;
        QTest::newRow("first SDG file a FIFO") << ends << QStringList{fifo + "A:\\M12345.I01"} << D << none << 2 << "A:\\M12345.I01 (not a regular file)" << false;
        QTest::newRow("batch processor leading nowhere") << QByteArray() << QStringList{"link:/nonexistent \\SAS\\SAS.EXE"} << I << none << 3 << "!SAS.EXE (the file does not exist)" << true;
        // What the operator cannot read stops the run before anything is purged.
        QTest::newRow("marker a folder") << ends << QStringList{"folder \\QELVRIN\\SHUTDOWN.DAT"} << D << QStringList{"nobody"} << 2 << "The run marker could not be read: C:\\QELVRIN\\SHUTDOWN.DAT (Is a directory)" << false;
        QTest::newRow("marker unreadable") << ends << QStringList{"chmod:000 \\QELVRIN\\SHUTDOWN.DAT"} << D << QStringList{"nobody"} << 2 << "C:\\QELVRIN\\SHUTDOWN.DAT (Permission denied)" << false;
        QTest::newRow("SDG folder unlisted") << ends << QStringList{"chmod:311 A:\\"} << D << QStringList{"nobody"} << 2 << "The SDG file could not be read: A:\\ (Permission denied)" << true;
        // A stage that cannot be made ready is refused and costs nothing.
        QTest::newRow("log a folder") << ends << QStringList{"folder \\QELVRIN\\IASMTJCL.LOG"} << I << none << 2 << notStarted + "IASMTJCL.LOG could not be deleted (it is a folder)" << true;
        QTest::newRow("job note a FIFO") << ends << QStringList{fifo + "\\QELVRIN\\BATCHJOB.DAT"} << I << none << 2 << notStarted + "BATCHJOB.DAT could not be written (not a regular file)" << true;
        QTest::newRow("old end signal a folder") << ends << QStringList{"folder \\QELVRIN\\SIGNAL.TXT"} << I << none << 2 << notStarted + "SIGNAL.TXT could not be deleted (it is a folder)" << true;
        QTest::newRow("read-only drive, old log") << ends << QStringList{"old \\QELVRIN\\IASMTJCL.LOG"} << I << QStringList{"readonly"} << 2 << "IASMTJCL.LOG could not be deleted (Read-only file system)" << false;
        QTest::newRow("install folder 555") << ends << QStringList{"old \\QELVRIN\\IASMTJCL.LOG", "chmod:555 \\QELVRIN"} << I << QStringList{"nobody"} << 2 << notStarted + "IASMTJCL.LOG could not be deleted (Permission denied)" << false;
        QTest::newRow("marker read-only") << ends << QStringList{"chmod:444 \\QELVRIN\\SHUTDOWN.DAT"} << I << QStringList{"nobody"} << 2 << "SHUTDOWN.DAT could not be written (Permission denied)" << false;
        QTest::newRow("old end signal a dangling link") << ends << QStringList{"link:/nonexistent \\QELVRIN\\SIGNAL.TXT"} << I << none << 0 << "has successfully completed." << true;
        // A drive where others could plant links is not run on.
        QTest::newRow("install folder 777") << ends << QStringList{"chmod:777 \\QELVRIN"} << I << none << 2 << "!closed to them (chmod o-w /" << true;
        QTest::newRow("install folder 1777") << ends << QStringList{"chmod:1777 \\QELVRIN"} << I << none << 2 << unsafe << true;
        QTest::newRow("SAS folder 1777") << ends << QStringList{"chmod:1777 \\SAS"} << D << none << 2 << unsafe << true;
        QTest::newRow("SAS folder another user's") << ends << QStringList{"owner:nobody \\SAS"} << I << none << 2 << "!belongs to another user" << true;
        QTest::newRow("root 777") << ends << QStringList{"chmod:777 \\"} << I << none << 2 << unsafe << true;
        QTest::newRow("root 1777, install folder the group's") << ends << QStringList{"chmod:1777 \\", "chmod:775 \\QELVRIN", "owner::nogroup \\QELVRIN"} << I << none << 0 << "has successfully completed." << true;
        // A link among the SDG's files is followed only to its owner's file.
        QTest::newRow("SDG link to another's file") << ends << QStringList{"link:M12345.I01 A:\\M12345.I02", "owner:nobody A:\\M12345.I02"} << D << none << 2 << "!M12345.I02 (a link to a file of another owner)" << true;
        QTest::newRow("SDG link to its owner's file") << ends << QStringList{"link:M12345.I01 A:\\M12345.I02"} << D << none << 0 << "Data Load Program has successfully completed." << true;
        QTest::newRow("file-size limit") << ends << QStringList{"lines A:\\M12345.I02"} << D << QStringList{"ulimit:200"} << 2 << "!The data file could not be written: C:\\QELVRIN\\QELVDATA (File too large)" << true;
        // Entries that are not regular files, or huge, are refused or read only as far as needed.
        QTest::newRow("marker a FIFO") << ends << QStringList{fifo + "\\QELVRIN\\SHUTDOWN.DAT"} << D << none << 2 << "SHUTDOWN.DAT (not a regular file)" << false;
        QTest::newRow("marker 3 GiB sparse") << ends << QStringList{"size:3G \\QELVRIN\\SHUTDOWN.DAT"} << D << none << 0 << "completed" << true;
        QTest::newRow("SDG sibling a FIFO") << ends << QStringList{fifo + "A:\\M12345.I02"} << D << none << 2 << "!M12345.I02 (not a regular file)" << true;
        QTest::newRow("log left a link to /dev/zero") << QByteArray("ln -sf /dev/zero \"$log\"; : > \"$dir/SIGNAL.TXT\"") << none << I << none << 1 << "the log could not be opened: not a regular file" << true;
        QTest::newRow("log of one 3 GiB line") << QByteArray("truncate -s 3G \"$log\"; printf 'stopped\\r\\n' >> \"$log\"; : > \"$dir/SIGNAL.TXT\"") << none << I << none << 1 << "[cut at 1000 bytes]" << true;
        // The verdict waits until nothing can write the log: at once when the job has ended, when it ends if it outlives its
        // signal, after the pause at the latest (a minute would fail).
        const QStringList longPause{"QELVRIN_END_PAUSE_MS=60000"};
        QTest::newRow("instant job, long pause") << ends << none << I << longPause << 0 << "has successfully completed." << true;
        QTest::newRow("failure line after the signal") << ends + "sleep 1; printf 'ERROR: processing stopped\\r\\n' >> \"$log\"" << none << I << longPause << 1 << "ERROR: processing stopped" << true;
        QTest::newRow("job outlives the pause") << ends + "exec sleep 5" << none << I << QStringList{"QELVRIN_END_PAUSE_MS=50"} << 0 << "has successfully completed." << true;
        // A lock file that another user left in the install folder and nobody holds.
        QTest::newRow("stale lock file") << ends << QStringList{"x \\QELVRIN\\QELVRIN.LCK", "chmod:444 \\QELVRIN\\QELVRIN.LCK"} << I << QStringList{"nobody"} << 0 << "completed" << true;
        // The batch processor's end: its status, its signal, or its end without the end signal.
        QTest::newRow("exit 1: warnings only") << ends + "exit 1" << none << I << none << 0 << "has successfully completed." << true;
        QTest::newRow("exit 3 after the signal") << ends + "exit 3" << none << I << none << 1 << "The batch processor failed: exit status 3." << true;
        QTest::newRow("killed after the signal") << ends + "kill -KILL $$" << none << I << none << 1 << "failed: killed by signal 9 (SIGKILL)" << true;
        QTest::newRow("exit without the signal") << logs + "exit 0" << none << I << none << 1 << "ended without its end signal: exit status 0." << true;
        QTest::newRow("killed without the signal") << QByteArray("printf 'ERROR: stopped\\r\\n' > \"$log\"; kill -KILL $$") << none << I << none << 1
                                                   << "ERROR: stopped\nThe batch processor ended without its end signal: killed by signal 9" << true;
    }
    void hostileRuns()
    {
        QFETCH(QByteArray, job);
        QFETCH(QStringList, plant);
        QFETCH(QStringList, args);
        QFETCH(QStringList, how);
        QFETCH(int, status);
        QFETCH(QString, says);
        QFETCH(bool, markerNormal);
        TempDrive drive;
        installJob(drive, job);
        drive.write(kMarker, kNormalMarker);
        drive.writeInstalled({"QELVDATA"});
        drive.write(QStringLiteral("A:\\M12345.I01"), "record\r\n");
        Launch launch;
        if (how.contains(QStringLiteral("nobody"))) {
            QVERIFY(Unprivileged::handOver(QFileInfo(drive.root()).path()));
            launch.wrapper = Unprivileged::wrapper();
            launch.env << "XDG_RUNTIME_DIR";
        }
        for (const QString& step : plant)
            ::plant(drive, step);
        if (how.contains(QStringLiteral("remove")))
            QFile::remove(drive.native(qelvrin::kDataFilePath));
        if (how.contains(QStringLiteral("readonly")))
            launch.wrapper = {"unshare", "--mount", "sh", "-c", "mount --bind -o ro \"$0\" \"$0\" && exec \"$@\"", drive.root()};
        if (!how.filter(QStringLiteral("ulimit:")).isEmpty())
            launch.wrapper = {"sh", "-c", "ulimit -f " + how.filter(QStringLiteral("ulimit:")).first().mid(7) + " && exec \"$@\"", "sh"};
        launch.env << QStringLiteral("QELVRIN_END_PAUSE_MS=0") << how.filter(QStringLiteral("="));
        const Outcome run = runBatch(drive, args, launch);
        QProcess::execute("chmod", {"-R", "u+rwX", QFileInfo(drive.root()).path()}); // so the temporary folder can go
        QVERIFY2(run.why.isEmpty(), qPrintable(run.why));
        QCOMPARE(run.status, status);
        const bool refusal = says.startsWith(QLatin1Char('!'));
        QVERIFY2((refusal ? run.err : run.out + run.err).contains(says.mid(refusal ? 1 : 0)) && !(refusal && run.out.contains(" started\n")), qPrintable(run.out + run.err));
        QVERIFY(status != 2 || !drive.exists(QStringLiteral("\\QELVRIN\\RAN")));
        QVERIFY(!markerNormal || drive.read(kMarker) == kNormalMarker);
        if (args.contains(QStringLiteral("--json")))
            QVERIFY(run.json.value("exitStatus").toInt(-1) == status && (status != 2 || run.json.value("error").toString().contains(says)));
    }


    // Each further file stands for the next diskette wherever it lies; one that cannot serve stops the run before anything is
    // purged.
    void furtherDiskettes_data()
    {
        QTest::addColumn<QStringList>("files"); // under the demo folder; "scratch/" a folder of the test's
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QString first = QStringLiteral("diskettes/disk1/M12345.I01");
        QTest::newRow("two folders") << QStringList{first, "diskettes/disk2/M12345.I04"} << 0
                                     << "another disk: Yes\nInorganic PC-VQS [ SDG: M12345 ]\nDo you want to load another disk: No";
        QTest::newRow("missing") << QStringList{first, "diskettes/disk2/M12345.I05"} << 2 << "cannot find the SDG file";
        QTest::newRow("name not fitting") << QStringList{first, "scratch/X12345.I04"} << 2 << "does not fit the SDG's pattern M12345.I??";
        QTest::newRow("another SDG") << QStringList{first, "sdg/M23456.I01"} << 2 << "belongs to the SDG M23456, not to M12345";
        QTest::newRow("same folder twice") << QStringList{first, "diskettes/disk1/M12345.I02"} << 2 << "lies in a folder already loaded";
    }
    void furtherDiskettes()
    {
        QFETCH(QStringList, files);
        QFETCH(int, status);
        QFETCH(QString, says);
        TempDrive drive;
        installJob(drive, "printf 'NOTE: done\\r\\n' > \"$log\"\n[ -z \"$6\" ] || printf 'report\\r\\n' > \"$6\"\n: > \"$dir/SIGNAL.TXT\"");
        drive.writeInstalled(kStageOutputNames, "earlier\r\n");
        drive.write(QStringLiteral("B:\\X12345.I04"), "x\r\n");
        QStringList args{"--json"};
        for (const QString& file : files)
            args << (file.startsWith(QLatin1String("scratch/")) ? drive.diskB() + file.mid(7) : qEnvironmentVariable("QELVRIN_DEMO_DIR") + '/' + file);
        const Outcome run = runBatch(drive, args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
        if (status == 0) {
            QCOMPARE(drive.read(qelvrin::kDataFilePath).count("\r\n"), 121);
            return;
        }
        QCOMPARE(run.json.value("stages").toArray().size(), 0);
        QCOMPARE(drive.countInstalled(kStageOutputNames), kStageOutputNames.size());
        QCOMPARE(drive.read(qelvrin::kDataFilePath), QByteArray("earlier\r\n"));
    }

    // A job left running from an earlier run: the close request reaches the whole job; what outlives it keeps the drive until it
    // has ended.
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
        const auto cleanUp = qScopeGuard([&] { drive.killJob(); });
        std::unique_ptr<QProcess> first(startBatch(drive, {"--stages", "I"}));
        if (interrupted) {
            QTRY_VERIFY_WITH_TIMEOUT(drive.started(), 30000);
            QVERIFY(os::interrupt(first->processId()));
        }
        QVERIFY(first->waitForFinished(60000));
        QCOMPARE(first->exitCode(), interrupted ? 130 : 0);
        const std::optional<qelvrin::BatchJob> job = drive.job();
        QVERIFY(job.has_value());
        if (outlives) {
            QVERIFY(qelvrin::jobRunning(*job));
            const Outcome refused = runBatch(drive, {"--stages", "I"});
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.err.contains(QStringLiteral("still running (process group %1)").arg(jobGroup(*job))), qPrintable(refused.err));
            drive.killJob();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!qelvrin::jobRunning(*job), 30000);
        QFile::remove(drive.installed("HANG"));
        // Accepted now; after the interrupted run it purges the data first.
        const Outcome accepted = runBatch(drive, {"--stages", "I"});
        QCOMPARE(accepted.status, interrupted ? 2 : 0);
        QVERIFY2(!interrupted || accepted.err.contains(QStringLiteral("no data loaded")), qPrintable(accepted.err));
    }

    // The lock belongs to the drive: however the second run is started and whatever its environment, it meets the first one's
    // lock and says so on stderr; a run on another drive goes through beside it.
    void secondRun_isRefusedWhateverItsEnvironment_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::addColumn<QString>("env");
        QTest::addColumn<bool>("asNobody");
        QTest::addColumn<int>("status");
        QTest::newRow("another runtime folder") << "" << "XDG_RUNTIME_DIR=" + QDir::tempPath() << false << 2;
        QTest::newRow("no runtime folder") << "" << "XDG_RUNTIME_DIR" << false << 2;
        QTest::newRow("another user") << "" << "XDG_RUNTIME_DIR" << true << 2;
        QTest::newRow("through a link") << "link" << "" << false << 2;
        QTest::newRow("trailing slash") << "root/" << "" << false << 2;
        QTest::newRow("relative") << "C" << "" << false << 2;
        QTest::newRow("install folder and up") << "root/QELVRIN/.." << "" << false << 2;
        QTest::newRow("another drive, no runtime folder: silent") << "other" << "XDG_RUNTIME_DIR" << false << 0;
    }
    void secondRun_isRefusedWhateverItsEnvironment()
    {
        QFETCH(QString, spelling);
        QFETCH(QString, env);
        QFETCH(bool, asNobody);
        QFETCH(int, status);
        ScriptedDrive drive;
        drive.writeInstalled({"HANG"});
        drive.share();
        const auto cleanUp = qScopeGuard([&] { drive.killJob(); });
        std::unique_ptr<QProcess> first(startBatch(drive, {"--stages", "I"}));
        QTRY_VERIFY_WITH_TIMEOUT(drive.started(), 30000);

        const QString parent = QFileInfo(drive.root()).path();
        ScriptedDrive other;
        Launch how{{env}, asNobody ? Unprivileged::wrapper() : QStringList(), spelling, parent};
        if (spelling == "link")
            QVERIFY(QFile::link(drive.root(), how.drive = parent + "/link"));
        else if (spelling == "other")
            how.drive = other.root();
        how.drive.replace(QStringLiteral("root"), drive.root());
        const Outcome second = runBatch(drive, {"--stages", "I"}, how);
        QCOMPARE(second.status, status);
        QVERIFY2(status == 0 ? second.err.isEmpty() : second.err.contains(QStringLiteral("Cannot start more than one copy of the application")), qPrintable(second.err));
        QCOMPARE(drive.read(kMarker), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));
        QVERIFY(os::interrupt(first->processId()));
        QVERIFY(first->waitForFinished(30000));
        QCOMPARE(drive.read(kMarker), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));
    }

    // Ctrl-C while the runner is busy reading, which keeps its event loop from hearing the signal: the copy of a 2 GiB SDG file
    // and the judgement of a 64 GiB log (both sparse, one endless line) stop, and the run ends interrupted with the marker
    // unclean.
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
        installJob(drive, log + "\n: > \"$dir/SIGNAL.TXT\"");
        drive.write(QStringLiteral("A:\\M12345.I01"), "record\r\n");
        if (!processorRan)
            QCOMPARE(QProcess::execute(QStringLiteral("truncate"), {"-s", "2G", drive.native(QStringLiteral("A:\\M12345.I02"))}), 0);
        const QString signal = drive.native(QStringLiteral("\\QELVRIN\\SIGNAL.TXT"));
        qint64 readBefore = -1;
        // Deep in the read: a good 100 MB past where the watched phase began.
        std::unique_ptr<QProcess> process(startBatch(drive, {"--json", "--stages", "D", "A:\\M12345.I01"}, Launch{{"QELVRIN_END_PAUSE_MS=0"}, {}, {}, {}}));
        const Outcome run = finish(process.get(), [&](qint64 pid) {
            const bool phase = processorRan ? QFileInfo::exists(signal) : QFileInfo(drive.native(qelvrin::kDataFilePath)).size() > 0;
            if (phase && readBefore < 0)
                readBefore = procField(pid, "io", "rchar");
            return phase && procField(pid, "io", "rchar") > readBefore + 100'000'000;
        });
        QVERIFY2(run.why.isEmpty(), qPrintable(run.why));
        QCOMPARE(run.status, 130);
        QCOMPARE(run.json.value("stages").toArray().at(0).toObject().value("outcome").toString(), QStringLiteral("interrupted"));
        QCOMPARE(drive.exists(QStringLiteral("\\QELVRIN\\RAN")), processorRan);
        QVERIFY2(!run.err.contains(QStringLiteral("could not")), qPrintable(run.err));
        QVERIFY(drive.read(kMarker) != kNormalMarker);
    }
};

QTEST_GUILESS_MAIN(TestBatchRun)
#include "tst_batch_run.moc"
