#include "app/command_state.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using qelvrin::CommandState;
using qelvrin::testing::kStageOutputNames;
using qelvrin::testing::TempDrive;

namespace {

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QStringList enabledNames(const CommandState& state)
{
    QStringList names;
    for (const auto& id : state.commands()) {
        if (state.isEnabled(id))
            names << controlName(id);
    }
    return sorted(names);
}

const QStringList kAtStart = sorted({"mnuRun", "mnuView", "mnuRLoadDataProgram", "cmdLoadDataProgram"});
const QStringList kAssessments{"mnuRInitialAssesment", "mnuRTechnicalDefect", "cmdRIniAss", "cmdRTecDef"};

} // namespace

class TestCommandState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A name ending in "/" is made a directory.
    void refresh_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("alsoEnabled");
        QTest::newRow("empty install directory") << QStringList() << QStringList();
        QTest::newRow("only the data file") << QStringList{"QELVDATA"} << QStringList{"mnuDelete"} + kAssessments;
        const std::pair<const char*, const char*> alone[] = {{"SDEFECT.TXT", "mnuVInitialAssesmenuReport"}, {"TDEFECT.TXT", "mnuVTechnicalDefectReport"},
                                                             {"DLOADJCL.LOG", "mnuVLoadDataLog"}, {"IASMTJCL.LOG", "mnuVInitialAssessmentLog"},
                                                             {"FASMTJCL.LOG", "mnuVTechnicalDefectLog"}};
        for (const auto& [file, item] : alone)
            QTest::newRow(file) << QStringList{file} << QStringList{"mnuDelete", item};
        QTest::newRow("directories named like outputs") << QStringList{"QELVDATA/", "IASMTJCL.LOG/"} << QStringList();
        QTest::newRow("other-case names do not count") << QStringList{"qelvdata", "Sdefect.txt", "dloadjcl.log"} << QStringList();
    }
    void refresh()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, alsoEnabled);
        TempDrive drive;
        for (const QString& name : present) {
            if (name.endsWith(QLatin1Char('/')))
                QVERIFY(QDir().mkpath(drive.native(QStringLiteral("\\QELVRIN\\") + name.chopped(1))));
            else
                drive.writeInstalled({name});
        }
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        QCOMPARE(enabledNames(state), sorted(kAtStart + alsoEnabled));
    }

    // An output that cannot be deleted (immutable: not even root may)
    // does not stop the rest of the purge.
    void purge_deletesOutputsAndKeepsTheRest_data()
    {
        QTest::addColumn<bool>("stuck");
        QTest::newRow("all deletable") << false;
        QTest::newRow("data file undeletable") << true;
    }
    void purge_deletesOutputsAndKeepsTheRest()
    {
        QFETCH(bool, stuck);
        TempDrive drive;
        const QStringList others{"SHUTDOWN.DAT", "SIGNAL.TXT", "PCVQS.INI", "qelvdata"};
        drive.writeInstalled(kStageOutputNames + others);
        const QString data = drive.native(QStringLiteral("\\QELVRIN\\QELVDATA"));
        if (stuck && (QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), data}) != 0 || QFile(data).remove()))
            QSKIP("this file system or user cannot make a file undeletable");
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        state.PurgeStageData(drive.drives());
        const int left = drive.countInstalled(kStageOutputNames);
        if (stuck)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), data});
        QCOMPARE(left, stuck ? 1 : 0);
        QCOMPARE(drive.countInstalled(others), 4);
        QCOMPARE(enabledNames(state), kAtStart);
    }

    void lock_disablesMenusDeleteAndButtons_unlockGivesThemBack()
    {
        TempDrive drive;
        drive.writeInstalled({"QELVDATA", "DLOADJCL.LOG"});
        CommandState state;
        state.RefreshStageCommands(drive.drives());
        state.LockCommands();
        QCOMPARE(enabledNames(state), sorted({"mnuRLoadDataProgram", "mnuRInitialAssesment", "mnuRTechnicalDefect", "mnuVLoadDataLog"}));
        state.UnlockCommands();
        QCOMPARE(enabledNames(state), sorted(kAtStart + kAssessments + QStringList{"mnuDelete", "mnuVLoadDataLog"}));
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_command_state.moc"
