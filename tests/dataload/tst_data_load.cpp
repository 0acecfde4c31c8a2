#include "../stages/fake_stage_host.h"
#include "support/file_size_limit.h"
#include "support/temp_drive.h"

#include "platform/run_marker.h"
#include "stages/data_load.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <optional>

#include <unistd.h>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kLoadLog = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");
const QString kRefused = QStringLiteral("No Files were Loaded");
const QString kMoreDisks = QStringLiteral("Do you want to load another disk: ");

// One data-load command on a fresh drive whose batch processor ends at once.
struct LoadCommand {
    LoadCommand() { drive.installBatchProcessor("exit 0\n"); }
    ~LoadCommand() { runner.Timer1().stop(); }

    void run() { started = runDataLoadCommand(drive.drives(), host, runner); }
    bool stageStarted() const { return host.calls.contains(QStringLiteral("LockCommands")); }
    QByteArray data() const { return drive.read(kDataFilePath); }

    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
    bool started = false;
};

// A name that is not UTF-8 (a DOS code page's e acute): Qt can neither
// create nor remove such a file, so these go by the name's bytes.
const QByteArray kCodePageName("M12345.I\xE9x");

QByteArray rawPath(const QString& dir)
{
    return QFile::encodeName(dir) + '/' + kCodePageName;
}

void writeRaw(const QString& dir, const QByteArray& bytes)
{
    std::FILE* file = std::fopen(rawPath(dir).constData(), "wb");
    if (!file || std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) != size_t(bytes.size()) || std::fclose(file) != 0)
        qFatal("cannot write %s", rawPath(dir).constData());
}

} // namespace

class TestDataLoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void chosenPath_decidesLoadAndQuestion_data()
    {
        QTest::addColumn<QString>("dosPath");   // where the chosen file lies; "outside" for no drive
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("question");
        QTest::newRow("diskette A") << "A:\\M12345.I01" << "Inorganic PC-VQS [ SDG: M12345 ]" << true << true;
        QTest::newRow("folder on the drive") << "C:\\DATA\\M12345.I01" << "Inorganic PC-VQS [ SDG: M12345 ]" << true << false;
        QTest::newRow("not an SDG name") << "A:\\X12345.I01" << "Inorganic Quorvane " << false << false;
        QTest::newRow("lower-case name") << "B:\\m12345.i01" << "Inorganic PC-VQS [ SDG: M12345 ]" << true << true;
        QTest::newRow("outside every drive") << "outside" << "Inorganic PC-VQS [ SDG: M12345 ]" << true << false;
    }
    void chosenPath_decidesLoadAndQuestion()
    {
        QFETCH(QString, dosPath);
        QFETCH(QString, caption);
        QFETCH(bool, loaded);
        QFETCH(bool, question);
        LoadCommand load;
        QTemporaryDir elsewhere;
        const QString chosen = dosPath == QLatin1String("outside") ? elsewhere.filePath(QStringLiteral("M12345.I01")) : load.drive.native(dosPath);
        QDir().mkpath(QFileInfo(chosen).path());
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("line 1\r\nline 2\r\n");
        file.close();
        load.host.scripted.queueFile(chosen);
        if (question)
            load.host.scripted.queueAnswer(Answer::No);

        load.run();

        QCOMPARE(load.host.caption, caption);
        QCOMPARE(load.host.calls.contains(QStringLiteral("message ") + kMoreDisks), question);
        QCOMPARE(load.host.calls.contains(QStringLiteral("message ") + kRefused), !loaded);
        QCOMPARE(load.started, loaded);
        QCOMPARE(load.data(), loaded ? QByteArray("line 1\r\nline 2\r\n") : QByteArray());
        QVERIFY(load.host.scripted.allAnswersUsed());
        QVERIFY(load.host.windowEnabled);
    }

    void twoDiskettes_copyInOrderThenStartStage()
    {
        LoadCommand load;
        // Written out of name order; the copy follows the names, letter case
        // aside, whether or not they are UTF-8.
        load.drive.write(QStringLiteral("A:\\M12345.I02"), "two\r\n");
        load.drive.write(QStringLiteral("A:\\m12345.i03"), "three\r\n");
        writeRaw(load.drive.diskA(), "e acute\r\n");
        load.drive.write(QStringLiteral("A:\\M12345.I01"), "one\r\n");
        load.drive.write(QStringLiteral("A:\\M12345.TXT"), "not an SDG file\r\n");
        load.drive.write(QStringLiteral("A:\\M12346.I01"), "another SDG\r\n");
        load.drive.write(QStringLiteral("A:\\M12345.I001"), "too long\r\n");
        const QByteArray expectedDisk1 = "one\r\ntwo\r\nthree\r\ne acute\r\n";

        load.host.scripted.queueFile(load.drive.native(QStringLiteral("A:\\M12345.I01")));
        load.host.scripted.queueAnswer(Answer::Yes);
        load.host.scripted.queueFile(load.drive.native(QStringLiteral("A:\\M12345.I04")));
        load.host.scripted.queueAnswer(Answer::No);
        // The operator changes the diskette while the question is on screen.
        load.host.scripted.onNextMessage([&](const ScriptedDialogs::Call&) {
            ::unlink(rawPath(load.drive.diskA()).constData());
            QDir(load.drive.diskA()).removeRecursively();
            QDir().mkpath(load.drive.diskA());
            load.drive.write(QStringLiteral("A:\\M12345.I04"), "four");
        });

        load.run();

        QCOMPARE(load.data(), expectedDisk1 + "four\r\n");
        QCOMPARE(load.host.calls.filter(QStringLiteral("openFile Select SDG")).size(), 2);
        QCOMPARE(load.host.scripted.calls().first().file.filter, QStringLiteral("SDG Files (*.i01)|*.i01|"));
        QCOMPARE(load.host.scripted.boxes(), QStringList(2, ScriptedDialogs::box(kMoreDisks, MsgIcon::Question, MsgButtons::YesNo,
                                                                                 QStringLiteral("Continue?"))));
        QVERIFY(load.host.calls.endsWith(QStringLiteral("window enabled")));
        QCOMPARE(load.runner.state().StageLetter, QStringLiteral("D"));
        QCOMPARE(load.drive.read(kMarkerPath), QByteArray("\"LOAD PROGRAM STARTED\"\r\n"));
    }

    void lineEnds_becomeCrLf()
    {
        LoadCommand load;
        load.drive.write(QStringLiteral("C:\\DATA\\M12345.I01"), "crlf\r\nlone cr\rlone lf\nform\ffeed\r\n\r\n\flast");
        load.host.scripted.queueFile(load.drive.native(QStringLiteral("C:\\DATA\\M12345.I01")));
        load.run();
        QCOMPARE(load.data(), QByteArray("crlf\r\nlone cr\r\nlone lf\r\nform\ffeed\r\n\r\n\flast\r\n"));
    }

    void cancel_leavesPurgedSystemWithEmptyLog()
    {
        LoadCommand load;
        load.drive.write(kLoadLog, "old log");
        load.host.scripted.queueFile(QString());

        load.run();

        QCOMPARE(load.host.calls.first(), QStringLiteral("PurgeStageData"));
        QCOMPARE(load.host.scripted.boxes(), QStringList{ScriptedDialogs::box(kRefused, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("QELVRIN"))});
        QCOMPARE(load.host.caption, QStringLiteral("Inorganic Quorvane "));
        QVERIFY(load.host.calls.endsWith(QStringLiteral("window enabled")));
        QVERIFY(load.drive.exists(kLoadLog));
        QCOMPARE(load.drive.read(kLoadLog), QByteArray());
        QVERIFY(!QFileInfo::exists(load.drive.native(kDataFilePath)));
        QVERIFY(!load.started);
    }

    void copyFailure_stopsWithMessageAndNoStage_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("message");
        const QString unwritten = QStringLiteral("The data file could not be written: C:\\QELVRIN\\QELVDATA (");
        QTest::newRow("SDG file unreadable") << "dangling" << "The SDG file could not be read: C:\\DATA\\M12345.I02 (No such file or directory)";
        QTest::newRow("unreadable, name not UTF-8") << "dangling, not UTF-8" << QStringLiteral("The SDG file could not be read: C:\\DATA\\M12345.I\u00E9x (No such file or directory)");
        QTest::newRow("disk full") << "full" << unwritten + "No space left on device)";
        QTest::newRow("disk fills part-way") << "cap" << unwritten + "File too large)";
        QTest::newRow("data file cannot be created") << "directory" << unwritten + "Is a directory)";
    }
    void copyFailure_stopsWithMessageAndNoStage()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, message);
        LoadCommand load;
        load.drive.write(QStringLiteral("C:\\DATA\\M12345.I01"), QByteArray(100000, 'x') + "\r\n");
        const QString dataFile = load.drive.native(kDataFilePath);
        const QString gone = load.drive.native(QStringLiteral("C:\\DATA\\gone"));
        if (setUp == QLatin1String("dangling"))
            QVERIFY(QFile::link(gone, load.drive.native(QStringLiteral("C:\\DATA\\M12345.I02"))));
        else if (setUp == QLatin1String("dangling, not UTF-8"))
            QCOMPARE(::symlink(QFile::encodeName(gone).constData(), rawPath(load.drive.native(QStringLiteral("C:\\DATA"))).constData()), 0);
        else if (setUp == QLatin1String("full"))
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), dataFile));
        else if (setUp == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(dataFile));
        load.host.scripted.queueFile(load.drive.native(QStringLiteral("C:\\DATA\\M12345.I01")));

        {
            // Half the SDG file fits before the disk is full.
            std::optional<FileSizeLimit> cap;
            if (setUp == QLatin1String("cap"))
                cap.emplace(50000);
            load.run();
        }

        ::unlink(rawPath(load.drive.native(QStringLiteral("C:\\DATA"))).constData());
        QCOMPARE(load.host.scripted.boxes(), QStringList{ScriptedDialogs::box(message, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("QELVRIN"))});
        QVERIFY(!load.stageStarted());
        QVERIFY(!load.started);
        QVERIFY(load.host.windowEnabled);
        QVERIFY(!QFileInfo(dataFile).isFile() || QFileInfo(dataFile).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestDataLoad)
#include "tst_data_load.moc"
