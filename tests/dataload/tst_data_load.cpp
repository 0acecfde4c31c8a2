#include "../stages/fake_stage_host.h"
#include "support/file_size_limit.h"
#include "support/system_setup.h"
#include "support/temp_drive.h"

#include "platform/line_reader.h"
#include "stages/data_load.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <optional>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// One data-load command on a fresh drive whose batch processor ends at once.
struct LoadCommand {
    LoadCommand() { drive.installBatchProcessor("exit 0\n"); }
    ~LoadCommand() { runner.Timer1().stop(); }

    void run(const QString& dosPath = {})
    {
        if (!dosPath.isNull())
            host.scripted.queueFile(dosPath.isEmpty() ? QString() : drive.native(dosPath));
        started = runDataLoadCommand(drive.drives(), host, runner);
    }
    QByteArray data() const { return drive.read(kDataFilePath); }
    QString box(const QString& text) const { return ScriptedDialogs::box(text, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("QELVRIN")); }

    TempDrive drive;
    FakeStageHost host;
    StageRunner runner{drive.drives(), host};
    bool started = false;
};

// A name that is not UTF-8 (a DOS code page's e acute): Qt can neither create nor remove such a file, so these go by the name's
// bytes.
QByteArray rawPath(const QString& dir)
{
    return QFile::encodeName(dir) + "/M12345.I\xE9x";
}

} // namespace

class TestDataLoad : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Names on A: and C: and refused names are the data load's and the batch runner's.
    void deriveSdgNames_followsNameRules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("names"); // SdgName|SdgFilePrefix|filePattern|accepted or refused|diskette or fixed
        QTest::newRow("dot in a folder name") << "C:\\SDG.1\\M12345.I01" << "M12345|C:\\SDG.1\\M12345.I|M12345.I??|accepted|fixed";
        QTest::newRow("lower-case name on B") << "b:\\m12345.i01" << "M12345|B:\\M12345.I|M12345.I??|accepted|diskette";
        QTest::newRow("native path outside every drive") << "/home/op/M12345.I01" << "M12345|/HOME/OP/M12345.I|M12345.I??|accepted|fixed";
        QTest::newRow("own name longer than ten") << "C:\\DATA\\XM12345.I01" << "M12345|C:\\DATA\\XM12345.I|XM12345.I??|accepted|fixed";
        QTest::newRow("name not six dot three") << "C:\\M12.I01234" << "M12.I0|C:\\M12.I|M12.I??|accepted|fixed";
        QTest::newRow("extension not I") << "A:\\M12345.J01" << "M12345|A:\\M12345.J|M12345.J??|refused|diskette";
        QTest::newRow("blanks before the path") << "  A:\\M12345.I01" << "M12345|A:\\M12345.I|M12345.I??|accepted|diskette";
        QTest::newRow("shorter than ten") << "M1234.I01" << "M1234.|M1234.I|M1234.I??|refused|fixed";
        QTest::newRow("no dot") << "C:\\DATA\\M12345I01" << "\\M1234|C|??|refused|fixed";
        QTest::newRow("cancelled") << "" << "      ||??|refused|fixed";
    }
    void deriveSdgNames_followsNameRules()
    {
        QFETCH(QString, path);
        QFETCH(QString, names);
        const SdgNames derived = deriveSdgNames(path);
        QCOMPARE(QStringList({derived.SdgName, derived.SdgFilePrefix, derived.filePattern, derived.accepted ? "accepted" : "refused",
                              derived.diskette ? "diskette" : "fixed"})
                     .join(u'|'),
                 names);
    }

    // Which chosen paths load and ask for another diskette is the end-to-end and batch runs' test.
    void twoDiskettes_copyInOrderThenStartStage()
    {
        LoadCommand load;
        // Written out of name order; the copy follows the names, letter case aside, whether or not they are UTF-8.
        load.drive.write(QStringLiteral("A:\\M12345.I02"), "two\r\n");
        load.drive.write(QStringLiteral("A:\\m12345.i03"), "three\r\n");
        std::FILE* raw = std::fopen(rawPath(load.drive.diskA()).constData(), "wb");
        QVERIFY(raw && std::fputs("e acute\r\n", raw) >= 0 && std::fclose(raw) == 0);
        load.drive.write(QStringLiteral("A:\\M12345.I01"), "one\r\n");
        for (const char* other : {"A:\\M12345.TXT", "A:\\M12346.I01", "A:\\M12345.I001"})
            load.drive.write(QLatin1String(other), "not this SDG file\r\n");

        load.host.scripted.queueFile(load.drive.native(QStringLiteral("A:\\M12345.I01")));
        load.host.scripted.queueAnswer(Answer::Yes);
        load.host.scripted.queueFile(load.drive.native(QStringLiteral("A:\\M12345.I04")));
        load.host.scripted.queueAnswer(Answer::No);
        // The operator changes the diskette while the question is on screen.
        load.host.onCall = [&](const QString& call) {
            if (call.startsWith(QStringLiteral("message ")) && !load.drive.exists(QStringLiteral("A:\\M12345.I04"))) {
                std::remove(rawPath(load.drive.diskA()).constData());
                QDir(load.drive.diskA()).removeRecursively();
                load.drive.write(QStringLiteral("A:\\M12345.I04"), "four");
            }
        };
        load.run();

        QCOMPARE(load.data(), QByteArray("one\r\ntwo\r\nthree\r\ne acute\r\nfour\r\n"));
        QCOMPARE(load.host.scripted.boxes().first(),
                 ScriptedDialogs::box(QStringLiteral("Do you want to load another disk: "), MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Continue?")));
        QVERIFY(load.host.scripted.allAnswersUsed() && load.host.calls.endsWith(QStringLiteral("window enabled")));
        QCOMPARE(load.runner.state().StageLetter, QStringLiteral("D"));
    }

    void copyFailure_stopsWithMessageAndNoStage_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("message");
        const QString unwritten = QStringLiteral("The data file could not be written: C:\\QELVRIN\\QELVDATA (");
        QTest::newRow("unreadable, name not UTF-8") << "dangling, not UTF-8" << QStringLiteral("The SDG file could not be read: C:\\DATA\\M12345.I\u00E9x (No such file or directory)");
        QTest::newRow("data file a FIFO") << "data fifo" << unwritten + "not a regular file)";
        QTest::newRow("SDG file a FIFO") << "sdg fifo" << QStringLiteral("The SDG file could not be read: C:\\DATA\\M12345.I02 (not a regular file)");
        QTest::newRow("SDG file another's link") << "foreign link" << QStringLiteral("The SDG file could not be read: C:\\DATA\\M12345.I02 (a link to a file of another owner)");
        QTest::newRow("disk full") << "full" << unwritten + "File too large)";
        QTest::newRow("disk fills part-way") << "cap" << unwritten + "File too large)";
    }
    void copyFailure_stopsWithMessageAndNoStage()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, message);
        LoadCommand load;
        load.drive.write(QStringLiteral("C:\\DATA\\M12345.I01"), QByteArray(100000, 'x') + "\r\n");
        const QString dataFile = load.drive.native(kDataFilePath);
        const QString gone = load.drive.native(QStringLiteral("C:\\DATA\\gone"));
        const QString sibling = load.drive.native(QStringLiteral("C:\\DATA\\M12345.I02"));
        const QByteArray rawName = rawPath(load.drive.native(QStringLiteral("C:\\DATA")));
        if (setUp == QLatin1String("dangling, not UTF-8"))
            QCOMPARE(::symlink(QFile::encodeName(gone).constData(), rawName.constData()), 0);
        else if (setUp == QLatin1String("data fifo"))
            QVERIFY(os::makeFifo(dataFile));
        else if (setUp == QLatin1String("foreign link")) // the test's own file, linked by nobody
            QVERIFY(QFile::link(load.drive.native(QStringLiteral("C:\\DATA\\M12345.I01")), sibling) && ::lchown(QFile::encodeName(sibling).constData(), 65534, 65534) == 0);
        else if (setUp == QLatin1String("sdg fifo"))
            QVERIFY(os::makeFifo(sibling));
        {
            // Nothing fits, or half the SDG file fits before the disk is full.
            std::optional<FileSizeLimit> cap;
            if (setUp == QLatin1String("full") || setUp == QLatin1String("cap"))
                cap.emplace(setUp == QLatin1String("cap") ? 50000 : 0);
            load.run(QStringLiteral("C:\\DATA\\M12345.I01"));
        }
        std::remove(rawName.constData());
        QCOMPARE(load.host.scripted.boxes(), QStringList{load.box(message)});
        QVERIFY(!load.host.calls.contains(QStringLiteral("LockCommands")) && !load.started && load.host.windowEnabled);
        QVERIFY(!QFileInfo::exists(dataFile));
    }

    // A file that grows while it is copied is copied as it was when opened.
    void growingFile_isReadToItsSizeAtOpen()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("M12345.I01"), "one\r\n");
        LineReader reader(path);
        QFile more(path);
        QVERIFY(more.open(QIODevice::Append) && more.write("two\r\n") == 5);
        more.flush();
        QCOMPARE(reader.next().value_or(QByteArrayView()), QByteArrayView("one"));
        QVERIFY(!reader.next());
    }
};

QTEST_GUILESS_MAIN(TestDataLoad)
#include "tst_data_load.moc"
