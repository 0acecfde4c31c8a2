#include "app/command_state.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

#include <unistd.h>

using namespace qelvrin;
using qelvrin::testing::TempDrive;

class TestStartup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The refusal of a second copy is the batch runner's test.
    void existingMarker_decidesThePurge_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<bool>("purged");
        QTest::newRow("no marker yet") << "SHUTDOWN.DAT" << QByteArray() << false;
        QTest::newRow("lower-case name, unclean") << "shutdown.dat" << QByteArray("\"ABNORMAL\"\r\n") << true;
        QTest::newRow("mixed-case name, clean") << "Shutdown.Dat" << QByteArray("\"NORMAL\"\r\n") << false;
        QTest::newRow("value in lower case, unclean") << "SHUTDOWN.DAT" << QByteArray("\"normal\"\r\n") << true;
    }
    void existingMarker_decidesThePurge()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, marker);
        QFETCH(bool, purged);
        TempDrive drive;
        const QStringList& outputs = qelvrin::testing::kStageOutputNames;
        drive.writeInstalled(outputs);
        if (!marker.isNull())
            drive.writeInstalled({name}, marker);
        SingleInstanceGuard guard(drive.native(kLockPath));
        qelvrin::testing::ScriptedDialogs dialogs;
        CommandState commands;
        QStringList calls;
        QVERIFY(runStartup(drive.drives(), guard, dialogs,
                           {[&] { calls << "purge"; commands.PurgeStageData(drive.drives()); },
                            [&] { calls << "refresh"; commands.RefreshStageCommands(drive.drives()); }}));
        QCOMPARE(calls, (purged ? QStringList{"purge", "refresh"} : QStringList{"refresh"}));
        QCOMPARE(drive.countInstalled(outputs), purged ? 0 : 6);
        QCOMPARE(drive.read(QStringLiteral("\\QELVRIN\\") + name), QByteArray("\"ABNORMAL\"\r\n"));
        QCOMPARE(QDir(drive.native(QStringLiteral("\\QELVRIN"))).entryList({QStringLiteral("shutdown.dat")}, QDir::Files), QStringList{name});
        QVERIFY(dialogs.calls().isEmpty());
    }

    // Whether the last run ended cleanly is unknown: the window says why and
    // purges, as after an unclean end.
    void unreadableMarker_isToldAndPurges_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder") << "folder" << "Is a directory";
        QTest::newRow("no read permission") << "mode 000" << "Permission denied";
    }
    void unreadableMarker_isToldAndPurges()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == QLatin1String("mode 000") && ::geteuid() == 0)
            QSKIP("root reads any file; the batch runner's test runs this case as an unprivileged user");
        TempDrive drive;
        drive.writeInstalled(qelvrin::testing::kStageOutputNames);
        const QString marker = drive.native(QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT"));
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(marker));
        } else {
            drive.writeInstalled({"SHUTDOWN.DAT"}, "\"NORMAL\"\r\n");
            QVERIFY(QFile::setPermissions(marker, {}));
        }
        SingleInstanceGuard guard(drive.native(kLockPath));
        qelvrin::testing::ScriptedDialogs dialogs;
        CommandState commands;
        QVERIFY(runStartup(drive.drives(), guard, dialogs, {[&] { commands.PurgeStageData(drive.drives()); }, [] {}}));
        QCOMPARE(dialogs.boxes(), QStringList{qelvrin::testing::ScriptedDialogs::box(
                                      QStringLiteral("The run marker could not be read: C:\\QELVRIN\\SHUTDOWN.DAT (%1)").arg(reason),
                                      MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle)});
        QCOMPARE(drive.countInstalled(qelvrin::testing::kStageOutputNames), 0);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
