#include "app/command_state.h"
#include "stages/stage_table.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using qelvrin::CommandState;
using qelvrin::testing::TempDrive;

namespace {

const QStringList kAllOutputs{"QELVDATA", "SDEFECT.TXT", "TDEFECT.TXT", "DLOADJCL.LOG", "IASMTJCL.LOG", "FASMTJCL.LOG"};

// The names that are enabled, sorted.
QStringList enabledNames(const CommandState& state)
{
    QStringList names;
    for (const QString& name : state.names()) {
        if (state.isEnabled(name))
            names.append(name);
    }
    names.sort();
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

const QStringList kAtStart = sorted({"mnuRun", "mnuView", "mnuRLoadDataProgram", "cmdLoadDataProgram"});

void writeOutputs(const TempDrive& drive, const QStringList& names)
{
    for (const QString& name : names)
        drive.write(QStringLiteral("\\QELVRIN\\") + name, "x\r\n");
}

} // namespace

class TestCommandState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initialState_onlyDataLoadAndMenus()
    {
        const CommandState state;
        QCOMPARE(enabledNames(state), kAtStart);
        QCOMPARE(state.names().size(), 14);
    }

    void refresh_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("alsoEnabled");
        QTest::newRow("empty install directory") << QStringList() << QStringList();
        QTest::newRow("only the data load log") << QStringList{"DLOADJCL.LOG"} << QStringList{"mnuDelete", "mnuVLoadDataLog"};
        QTest::newRow("only the data file")
            << QStringList{"QELVDATA"} << QStringList{"mnuDelete", "mnuRInitialAssesment", "mnuRTechnicalDefect", "cmdRIniAss", "cmdRTecDef"};
        QTest::newRow("only the full report") << QStringList{"TDEFECT.TXT"} << QStringList{"mnuDelete", "mnuVTechnicalDefectReport"};
        QTest::newRow("all six") << kAllOutputs
                                 << QStringList{"mnuDelete", "mnuRInitialAssesment", "mnuRTechnicalDefect", "cmdRIniAss", "cmdRTecDef",
                                                "mnuVInitialAssesmenuReport", "mnuVTechnicalDefectReport", "mnuVLoadDataLog",
                                                "mnuVInitialAssessmentLog", "mnuVTechnicalDefectLog"};
        QTest::newRow("other-case names do not count") << QStringList{"qelvdata", "Sdefect.txt", "dloadjcl.log"} << QStringList();
        QTest::newRow("marker, signal and settings are not outputs") << QStringList{"SHUTDOWN.DAT", "SIGNAL.TXT", "PCVQS.INI"} << QStringList();
    }
    void refresh()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, alsoEnabled);
        TempDrive drive;
        writeOutputs(drive, present);
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        QCOMPARE(enabledNames(state), sorted(kAtStart + alsoEnabled));
    }

    void refresh_directoryNamedLikeOutput_doesNotCount()
    {
        TempDrive drive;
        QVERIFY(QDir().mkpath(drive.native(QStringLiteral("\\QELVRIN\\QELVDATA"))));
        QVERIFY(QDir().mkpath(drive.native(QStringLiteral("\\QELVRIN\\IASMTJCL.LOG"))));
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        QCOMPARE(enabledNames(state), kAtStart);
    }

    void refresh_neverDisables()
    {
        TempDrive drive;
        writeOutputs(drive, kAllOutputs);
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        const CommandState before = state;
        QVERIFY(QFile::remove(drive.native(QStringLiteral("\\QELVRIN\\SDEFECT.TXT"))));
        QVERIFY(QFile::remove(drive.native(QStringLiteral("\\QELVRIN\\QELVDATA"))));
        state.RefreshStageCommands(drive.drives());
        QCOMPARE(state, before);
    }

    void purge_deletesOutputsAndKeepsTheRest()
    {
        TempDrive drive;
        writeOutputs(drive, kAllOutputs + QStringList{"SHUTDOWN.DAT", "SIGNAL.TXT", "PCVQS.INI", "qelvdata"});
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        state.PurgeStageData(drive.drives());
        for (const QString& name : kAllOutputs)
            QVERIFY2(!drive.exists(QStringLiteral("\\QELVRIN\\") + name), qPrintable(name));
        for (const char* name : {"SHUTDOWN.DAT", "SIGNAL.TXT", "PCVQS.INI", "qelvdata"})
            QVERIFY2(drive.exists(QStringLiteral("\\QELVRIN\\") + QLatin1String(name)), name);
        QCOMPARE(enabledNames(state), kAtStart);
    }

    void purge_someMissing_deletesTheOthers()
    {
        TempDrive drive;
        writeOutputs(drive, {"TDEFECT.TXT", "FASMTJCL.LOG"});
        CommandState state;
        state.PurgeStageData(drive.drives());
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\TDEFECT.TXT")));
        QVERIFY(!drive.exists(QStringLiteral("\\QELVRIN\\FASMTJCL.LOG")));
    }

    void purge_leavesDirectoryOfOutputName()
    {
        TempDrive drive;
        const QString dir = drive.native(QStringLiteral("\\QELVRIN\\QELVDATA"));
        QVERIFY(QDir().mkpath(dir + QStringLiteral("/inside")));
        CommandState state;
        state.PurgeStageData(drive.drives());
        QVERIFY(QFileInfo(dir + QStringLiteral("/inside")).isDir());
    }

    void purge_undeletableFile_doesNotStopTheRest()
    {
        TempDrive drive;
        writeOutputs(drive, kAllOutputs);
        // QELVDATA is visited first; an immutable file cannot be deleted even by root.
        const QString stuck = drive.native(QStringLiteral("\\QELVRIN\\QELVDATA"));
        if (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), stuck}) != 0 || QFile(stuck).remove())
            QSKIP("this file system or user cannot make a file undeletable");
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        state.PurgeStageData(drive.drives());
        const bool stillThere = drive.exists(QStringLiteral("\\QELVRIN\\QELVDATA"));
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), stuck});
        QVERIFY(stillThere);
        for (const QString& name : kAllOutputs.mid(1))
            QVERIFY2(!drive.exists(QStringLiteral("\\QELVRIN\\") + name), qPrintable(name));
        QCOMPARE(enabledNames(state), kAtStart);
    }

    void lock_disablesMenusDeleteAndButtons_unlockGivesThemBack()
    {
        TempDrive drive;
        writeOutputs(drive, {"QELVDATA", "DLOADJCL.LOG"});
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        state.LockCommands();
        QCOMPARE(enabledNames(state), sorted({"mnuRLoadDataProgram", "mnuRInitialAssesment", "mnuRTechnicalDefect", "mnuVLoadDataLog"}));
        state.UnlockCommands();
        QCOMPARE(enabledNames(state), sorted(kAtStart + QStringList{"mnuDelete", "mnuRInitialAssesment", "mnuRTechnicalDefect", "cmdRIniAss",
                                                                    "cmdRTecDef", "mnuVLoadDataLog"}));
    }

    void unlockAfterPurge_enablesButtonsButNotItems()
    {
        TempDrive drive;
        CommandState state;
        state.LockCommands();
        state.PurgeStageData(drive.drives());
        state.UnlockCommands();
        QCOMPARE(enabledNames(state), sorted(kAtStart + QStringList{"mnuDelete", "cmdRIniAss", "cmdRTecDef"}));
    }

    void viewItems_followMenuOrder()
    {
        QStringList names;
        for (const qelvrin::ViewItem& item : qelvrin::viewItems())
            names.append(item.name + QLatin1Char('=') + item.dosPath);
        QCOMPARE(names, (QStringList{"mnuVInitialAssesmenuReport=\\QELVRIN\\SDEFECT.TXT", "mnuVTechnicalDefectReport=\\QELVRIN\\TDEFECT.TXT",
                                     "mnuVLoadDataLog=\\QELVRIN\\DLOADJCL.LOG", "mnuVInitialAssessmentLog=\\QELVRIN\\IASMTJCL.LOG",
                                     "mnuVTechnicalDefectLog=\\QELVRIN\\FASMTJCL.LOG"}));
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_command_state.moc"
