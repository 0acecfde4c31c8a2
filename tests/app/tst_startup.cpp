#include "app/command_state.h"
#include "app/startup.h"
#include "stages/job_record.h"
#include "platform/single_instance.h"
#include "stages/job_guard.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

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

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        const QStringList& outputs = qelvrin::testing::kStageOutputNames;
        temp.writeInstalled(outputs);
        if (!marker.isNull())
            temp.writeInstalled({name}, marker);
        const QString install = drives.installDir();
        if (drive == QLatin1String("marker folder"))
            QVERIFY(QDir().mkpath(install + QStringLiteral("/SHUTDOWN.DAT")));
        if (drive.endsWith(QLatin1String("file"))) {
            const QString path = drive == QLatin1String("root file") ? drives.root() : install;
            QVERIFY(QDir(path).removeRecursively());
            qelvrin::testing::writeFile(path, "x\n");
        }
        BatchJob job;
        if (drive.endsWith(QLatin1String("job"))) {
            const bool stubborn = drive.startsWith(QLatin1String("stubborn"));
            temp.installBatchProcessor(stubborn ? "trap '' TERM\n: > READY\nsleep 60\n" : "exec sleep 60\n");
            job = startDetached(drives, kBatchProcessorPath, install).job;
            QTRY_VERIFY(!stubborn || QFile::exists(install + QStringLiteral("/READY")));
            QString error;
            QVERIFY2(writeJobRecord(temp.native(kJobRecordPath), job, &error), qPrintable(error));
        }
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
