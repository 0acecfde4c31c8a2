#include "app/command_state.h"
#include "app/drive_setup.h"
#include "app/startup.h"
#include "stages/job_record.h"
#include "platform/single_instance.h"
#include "stages/job_guard.h"
#include "support/file_size_limit.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// Every entry of a folder, in byte order.
QStringList entries(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

const QString kJobAsked = QStringLiteral("job asked");
const QString kJobRefused = QStringLiteral("job refused");
const QString kJobRunning = QStringLiteral("The batch job started earlier on this drive is still running (process group %1). "
                                           "Nothing can run on the drive until it has ended");

// The box a start is to show: the question or the refusal for the earlier
// job `group`, else the unreadable marker's, with its reason.
QString expectedBox(const QString& kind, qint64 group)
{
    if (kind == kJobAsked)
        return ScriptedDialogs::box(kJobRunning.arg(group) + QStringLiteral(".\r\rDo you want to end it now? [If you select No, QELVRIN ends]"),
                                    MsgIcon::Question, MsgButtons::YesNo, kApplicationTitle);
    const QString text = kind == kJobRefused ? kJobRunning.arg(group) + QStringLiteral("; to end it: kill -TERM -- -%1").arg(group)
                                             : QStringLiteral("The run marker could not be read: C:\\QELVRIN\\SHUTDOWN.DAT (%1)").arg(kind);
    return ScriptedDialogs::box(text, MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle);
}

} // namespace

// The start on a drive: its set-up, then the guard against an earlier job and the marker.
class TestStartup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_standIn;

private Q_SLOTS:
    void initTestCase()
    {
        // Any executable file does for the copy.
        m_standIn = writeFile(m_dir, QStringLiteral("fake-standin"), "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions(m_standIn, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    // Only what is missing is laid out, names looked up in any case; once a
    // stage program is there the settings file was laid out before, and one
    // that is missing was removed: it stays away.
    void setUp_laysOutOnlyWhatIsMissing_data()
    {
        QTest::addColumn<QStringList>("present"); // under the root
        QTest::addColumn<QStringList>("install"); // \QELVRIN\ afterwards
        QTest::addColumn<QStringList>("sas");     // \SAS\ afterwards
        const QStringList programs{"DLOADJCL", "FASMTJCL", "IASMTJCL"};
        QTest::newRow("fresh drive") << QStringList{} << programs + QStringList{"PCVQS.INI"} << QStringList{"SAS.EXE"};
        QTest::newRow("the operator's pcvqs.ini") << QStringList{"QELVRIN/pcvqs.ini"} << programs + QStringList{"pcvqs.ini"} << QStringList{"SAS.EXE"};
        QTest::newRow("laid out whole, settings removed") << QStringList{"QELVRIN/DLOADJCL", "QELVRIN/IASMTJCL", "QELVRIN/FASMTJCL", "SAS/SAS.EXE"}
                                                          << programs << QStringList{"SAS.EXE"};
        QTest::newRow("a stage program removed") << QStringList{"QELVRIN/PCVQS.INI", "QELVRIN/DLOADJCL", "QELVRIN/FASMTJCL"}
                                                 << programs + QStringList{"PCVQS.INI"} << QStringList{"SAS.EXE"};
        QTest::newRow("other spellings") << QStringList{"QELVRIN/Dloadjcl", "QELVRIN/iasmtjcl", "SAS/sas.exe"}
                                         << QStringList{"Dloadjcl", "FASMTJCL", "iasmtjcl"} << QStringList{"sas.exe"};
    }
    void setUp_laysOutOnlyWhatIsMissing()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, install);
        QFETCH(QStringList, sas);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("QELVRIN")) && QDir(root.path()).mkpath(QStringLiteral("SAS")));
        for (const QString& entry : present)
            writeFile(root.filePath(entry), "x\r\n");
        const DriveSetupResult result = setUpDrive(DriveMap(root.path()), m_standIn);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(entries(root.filePath(QStringLiteral("QELVRIN"))), install);
        QCOMPARE(entries(root.filePath(QStringLiteral("SAS"))), sas);
        for (const QString& entry : present)
            QCOMPARE(readFile(root.filePath(entry)), QByteArray("x\r\n"));
        if (install.contains(QStringLiteral("PCVQS.INI")) && !present.contains(QStringLiteral("QELVRIN/PCVQS.INI")))
            QCOMPARE(readFile(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))), kInstalledFont);
    }

    // A disk that fills while the batch processor is copied: the set-up
    // fails with the system's reason and leaves no piece half-written and no
    // temporary file; the next start completes the drive.
    void fullDisk_leavesWholePieces()
    {
        QTemporaryDir root;
        const DriveMap drives(root.path());
        const QString bigStandIn = writeFile(m_dir, QStringLiteral("big-standin"), "#!/bin/sh\n" + QByteArray(200, '#') + "\nexit 0\n");
        const DriveSetupResult cut = [&] {
            // The stage programs fit, the batch processor does not.
            const FileSizeLimit full{140};
            return setUpDrive(drives, bigStandIn);
        }();
        QCOMPARE(cut.error, QStringLiteral("The directory %1/SAS cannot be used: File too large.").arg(root.path()));
        QCOMPARE(entries(root.filePath(QStringLiteral("QELVRIN"))).size(), 4);
        QCOMPARE(entries(root.filePath(QStringLiteral("SAS"))), QStringList());

        const DriveSetupResult completed = setUpDrive(drives, bigStandIn);
        QVERIFY2(completed.ok, qPrintable(completed.error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("SAS/SAS.EXE"))), readFile(bigStandIn));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("SAS/SAS.EXE"))).isExecutable());
    }
    // The refusal of a second copy is the batch runner's test.
    void startup_data()
    {
        QTest::addColumn<QString>("drive");    // what is on the drive besides the six outputs
        QTest::addColumn<QString>("name");     // the marker's name
        QTest::addColumn<QByteArray>("marker"); // null: none
        QTest::addColumn<bool>("window");      // the window (offers to end a job) or the runner
        QTest::addColumn<int>("answer");       // to the question; -1 none asked
        QTest::addColumn<bool>("started");
        QTest::addColumn<bool>("purged");
        QTest::addColumn<QString>("box");      // kind of the one box shown; empty: none
        const QByteArray clean("\"NORMAL\"\r\n"), unclean("\"ABNORMAL\"\r\n");
        const int yes = int(Answer::Yes), no = int(Answer::No), none = -1;
        QTest::newRow("no marker yet") << "" << "SHUTDOWN.DAT" << QByteArray() << true << none << true << false << "";
        QTest::newRow("lower-case name, unclean") << "" << "shutdown.dat" << unclean << true << none << true << true << "";
        QTest::newRow("mixed-case name, clean") << "" << "Shutdown.Dat" << clean << false << none << true << false << "";
        QTest::newRow("value in lower case, unclean") << "" << "SHUTDOWN.DAT" << QByteArray("\"normal\"\r\n") << true << none << true << true << "";
        QTest::newRow("marker a folder") << "marker folder" << "SHUTDOWN.DAT" << QByteArray() << true << none << true << true << "Is a directory";
        // Nothing to guard: the window opens; set-up has named the folder.
        QTest::newRow("install folder a file") << "install file" << "" << QByteArray() << true << none << true << false << "";
        QTest::newRow("drive a file") << "root file" << "" << QByteArray() << true << none << true << false << "";
        QTest::newRow("earlier job, Yes") << "job" << "SHUTDOWN.DAT" << unclean << true << yes << true << true << kJobAsked;
        QTest::newRow("earlier job ignores the close request, Yes") << "stubborn job" << "SHUTDOWN.DAT" << unclean << true << yes << true << true
                                                                     << kJobAsked;
        QTest::newRow("earlier job, No") << "job" << "SHUTDOWN.DAT" << unclean << true << no << false << false << kJobAsked;
        QTest::newRow("earlier job, runner") << "job" << "SHUTDOWN.DAT" << unclean << false << none << false << false << kJobRefused;
        // A note of no living job: one of another boot, or our own process noted as started at another time.
        QTest::newRow("job of another boot") << "other boot's job" << "SHUTDOWN.DAT" << unclean << false << none << true << true << "";
        QTest::newRow("our pid, started otherwise") << "own pid" << "SHUTDOWN.DAT" << unclean << false << none << true << true << "";
    }
    void startup()
    {
        QFETCH(QString, drive);
        QFETCH(QString, name);
        QFETCH(QByteArray, marker);
        QFETCH(bool, window);
        QFETCH(int, answer);
        QFETCH(bool, started);
        QFETCH(bool, purged);
        QFETCH(QString, box);
        TempDrive temp;
        const DriveMap& drives = temp.drives();
        const QStringList& outputs = kStageOutputNames;
        temp.writeInstalled(outputs);
        if (!marker.isNull())
            temp.writeInstalled({name}, marker);
        const QString install = drives.installDir();
        if (drive == QLatin1String("marker folder"))
            QVERIFY(QDir().mkpath(install + QStringLiteral("/SHUTDOWN.DAT")));
        if (drive.endsWith(QLatin1String("file"))) {
            const QString path = drive == QLatin1String("root file") ? drives.root() : install;
            QVERIFY(QDir(path).removeRecursively());
            writeFile(path, "x\n");
        }
        BatchJob job;
        if (drive.endsWith(QLatin1String("job"))) {
            const bool stubborn = drive.startsWith(QLatin1String("stubborn"));
            temp.installBatchProcessor(stubborn ? "trap '' TERM\n: > READY\nsleep 60\n" : "exec sleep 60\n");
            job = startDetached(drives, kBatchProcessorPath, install).job;
            QTRY_VERIFY(!stubborn || QFile::exists(install + QStringLiteral("/READY")));
            BatchJob noted = job;
            if (drive.startsWith(QLatin1String("other boot")))
                noted.identity = job.identity.first(job.identity.lastIndexOf(' ')) + " 0-0-0";
            QString error;
            QVERIFY2(writeJobRecord(temp.native(kJobRecordPath), noted, &error), qPrintable(error));
        }
        if (drive == QLatin1String("own pid"))
            temp.write(kJobRecordPath, QStringLiteral("%1 %1 1 -\r\n").arg(QCoreApplication::applicationPid()).toLatin1());
        SingleInstanceGuard guard(temp.native(kLockPath));
        ScriptedDialogs dialogs;
        if (answer >= 0)
            dialogs.queueAnswer(Answer(answer));
        CommandState commands;
        QStringList calls;
        StartupCommands startup{[&] { calls << "purge"; commands.PurgeStageData(drives); },
                                [&] { calls << "refresh"; commands.RefreshStageCommands(drives); }};
        if (window)
            startup.setBusy = [&](bool busy) { calls << (busy ? "busy" : "idle"); };

        QCOMPARE(runStartup(drives, guard, dialogs, startup), started);

        const bool ending = answer == int(Answer::Yes);
        QStringList expected = ending ? QStringList{"busy", "idle"} : QStringList{};
        if (started)
            expected << (purged ? QStringList{"purge", "refresh"} : QStringList{"refresh"});
        QCOMPARE(calls, expected);
        QCOMPARE(dialogs.boxes(), box.isEmpty() ? QStringList{} : QStringList{expectedBox(box, jobGroup(job))});
        if (job.isValid()) {
            QCOMPARE(jobRunning(job), !ending);
            sendCloseRequest(job);
            QTRY_VERIFY_WITH_TIMEOUT(!jobRunning(job), 10000);
        }
        if (drive.endsWith(QLatin1String("file")))
            return;
        QCOMPARE(temp.countInstalled(outputs), purged ? 0 : 6);
        if (started && drive.isEmpty()) {
            QCOMPARE(temp.read(QStringLiteral("\\QELVRIN\\") + name), QByteArray("\"ABNORMAL\"\r\n"));
            QCOMPARE(QDir(install).entryList({QStringLiteral("shutdown.dat")}, QDir::Files), QStringList{name});
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
