#include "app/command_state.h"
#include "platform/file_ops.h"
#include "settings/global.h"
#include "stages/run_marker.h"
#include "stages/sdg_copy.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

using namespace qelvrin;
using namespace qelvrin::testing;

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

// The kind of the entry itself: 'l' link, 'f' regular file, '-' none.
char entryKind(const QString& path)
{
    const QFileInfo entry(path);
    return entry.isSymLink() ? 'l' : entry.isFile() ? 'f' : entry.exists() ? '?' : '-';
}

} // namespace

// The install folder's outputs: the commands they enable, their purge, and links planted under their names.
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

    // Another user or program may leave a link in the install folder under the
    // name of a file the program deletes or writes: the link goes or is replaced,
    // and what it leads to, outside the drive, is never touched. Appending
    // refuses a link with the system's reason.
    void linkOfAnOutputsName_isRemovedOrReplaced_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dangling");
        QTest::addColumn<char>("after"); // the entry's kind afterwards
        QTest::newRow("purge, data file leading nowhere") << "purge" << "QELVDATA" << true << '-';
        QTest::newRow("purge, log to an outside file") << "purge" << "DLOADJCL.LOG" << false << '-';
        QTest::newRow("run marker to an outside file") << "marker" << "SHUTDOWN.DAT" << false << 'f';
        QTest::newRow("run marker leading nowhere") << "marker" << "SHUTDOWN.DAT" << true << 'f';
        QTest::newRow("empty log leading nowhere") << "empty log" << "IASMTJCL.LOG" << true << 'f';
        QTest::newRow("empty log to an outside file") << "empty log" << "FASMTJCL.LOG" << false << 'f';
        QTest::newRow("data file to an outside file") << "data" << "QELVDATA" << false << 'f';
        QTest::newRow("data file leading nowhere") << "data" << "QELVDATA" << true << 'f';
        QTest::newRow("appended data file to an outside file") << "append" << "QELVDATA" << false << 'l';
        QTest::newRow("settings file to an outside file") << "settings" << "PCVQS.INI" << false << 'f';
    }
    void linkOfAnOutputsName_isRemovedOrReplaced()
    {
        QFETCH(QString, writer);
        QFETCH(QString, name);
        QFETCH(bool, dangling);
        QFETCH(char, after);
        TempDrive drive;
        QTemporaryDir outside;
        const QString target = outside.filePath(QStringLiteral("target"));
        if (!dangling)
            writeFile(target, writer == QLatin1String("settings") ? QByteArray("ViewFontSize = 10\r\n") : QByteArray("outside\r\n"));
        const QByteArray before = readFile(target);
        const QString entry = drive.native(QStringLiteral("\\QELVRIN\\") + name);
        QVERIFY(QFile::link(target, entry));

        QString error;
        QByteArray written;
        if (writer == QLatin1String("purge")) {
            CommandState().PurgeStageData(drive.drives());
        } else if (writer == QLatin1String("marker")) {
            QVERIFY2(marker::write(entry, QLatin1String(marker::kNormal), &error), qPrintable(error));
            written = "\"NORMAL\"\r\n";
        } else if (writer == QLatin1String("empty log")) {
            QVERIFY2(files::truncateCreate(entry, &error), qPrintable(error));
        } else if (writer == QLatin1String("data") || writer == QLatin1String("append")) {
            drive.write(QStringLiteral("A:\\M12345.I01"), "H,M12345\r\n");
            const std::optional<SdgCopyFailure> failure = copySdgFiles(drive.diskA(), QStringLiteral("M12345.I??"), entry, writer == "data");
            if (writer == QLatin1String("append")) {
                QVERIFY(failure && failure->whileWriting);
                QCOMPARE(failure->reason, QStringLiteral("Too many levels of symbolic links"));
            } else {
                QVERIFY2(!failure, failure ? qPrintable(failure->reason) : "");
                written = "H,M12345\r\n";
            }
        } else {
            Global(drive.drives(), drive.native(QStringLiteral("\\QELVRIN"))).WriteSetting(QStringLiteral("ViewFontSize"), 12.0f);
            written = "ViewFontSize = 12\r\n";
        }
        QCOMPARE(entryKind(entry), after);
        if (after == 'f')
            QCOMPARE(readFile(entry), written);
        QCOMPARE(entryKind(target), dangling ? '-' : 'f');
        QCOMPARE(readFile(target), before);
    }
};

QTEST_GUILESS_MAIN(TestCommandState)
#include "tst_command_state.moc"
