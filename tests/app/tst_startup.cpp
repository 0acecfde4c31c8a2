#include "app/command_state.h"
#include "app/startup.h"
#include "platform/single_instance.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

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
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
