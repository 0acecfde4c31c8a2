#include "app/command_state.h"
#include "platform/file_ops.h"
#include "stages/run_marker.h"
#include "settings/global.h"
#include "stages/sdg_copy.h"
#include "support/temp_drive.h"

#include <QTest>

using namespace qelvrin;
using qelvrin::testing::readFile;
using qelvrin::testing::TempDrive;
using qelvrin::testing::writeFile;

namespace {

// The kind of the entry itself: 'l' link, 'f' regular file, '-' none.
char entryKind(const QString& path)
{
    const QFileInfo entry(path);
    return entry.isSymLink() ? 'l' : entry.isFile() ? 'f' : entry.exists() ? '?' : '-';
}

} // namespace

// Another user or program may leave a link in the install folder under the
// name of a file the program deletes or writes: the link goes or is replaced,
// and what it leads to, outside the drive, is never touched. Appending
// refuses a link with the system's reason.
class TestPlantedLinks : public QObject {
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestPlantedLinks)
#include "tst_planted_links.moc"
