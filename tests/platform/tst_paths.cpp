#include "platform/drive_map.h"
#include "platform/path_text.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

using qelvrin::testing::TempDrive;

namespace {

const QString kRefused = QStringLiteral("cannot be used: it is not valid UTF-8, and only UTF-8 names can be used.");

} // namespace

// What the programs make of the paths and options they are given: DOS names on the mapped drives, the bytes of a path, a
// command line answered before any window.
class TestPaths : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Paths on drive C and A in both directions run through every other test.
    void paths_data()
    {
        QTest::addColumn<QString>("dos");
        QTest::addColumn<QString>("native");
        QTest::addColumn<QString>("way"); // "both", "to native" or "to DOS"
        QTest::newRow("lower-case letter") << "c:\\X" << "/drive/X" << "to native";
        QTest::newRow("drive B, lower case") << "b:\\M12345.I04" << "/disk/b/M12345.I04" << "to native";
        QTest::newRow("unmapped letter") << "D:\\X" << "" << "to native";
        QTest::newRow("relative name") << "pcvqs.ini" << "pcvqs.ini" << "to native";
        QTest::newRow("drive root") << "\\" << "/drive" << "to native";
        QTest::newRow("nested folder of A") << "A:\\sub\\m1.i01" << "/disk/a/sub/m1.i01" << "both";
        QTest::newRow("outside every drive") << "/home/op/M12345.I01" << "/home/op/M12345.I01" << "to DOS";
        QTest::newRow("sibling with common prefix") << "/drive2/M1.I01" << "/drive2/M1.I01" << "to DOS";
    }
    void paths()
    {
        QFETCH(QString, dos);
        QFETCH(QString, native);
        QFETCH(QString, way);
        const qelvrin::DriveMap map(QStringLiteral("/drive"), QStringLiteral("/disk/a"), QStringLiteral("/disk/b"));
        if (way != QLatin1String("to DOS"))
            QCOMPARE(map.toNative(dos), native);
        if (way != QLatin1String("to native"))
            QCOMPARE(map.toDos(native), dos);
    }

    void arguments_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<QString>("message");
        QTest::newRow("ascii") << QByteArray("/tmp/drive") << QByteArray("A:\\M12345.I01") << QString();
        QTest::newRow("utf-8 beyond ascii") << QByteArray("/tmp/caf\xc3\xa9") << QByteArray("/tmp/\xe2\x82\xac") << QString();
        QTest::newRow("a lone high byte") << QByteArray("/tmp/d\xff") << QByteArray("x")
                                          << QString("The argument \"/tmp/d\\xFF\" " + kRefused);
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf" "b") << QByteArray() << QString("The argument \"a\\xC0\\xAFb\" " + kRefused);
        QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80") << QByteArray() << QString("The argument \"\\xED\\xA0\\x80\" " + kRefused);
        QTest::newRow("cut short at the end") << QByteArray("x\xe2\x82") << QByteArray() << QString("The argument \"x\\xE2\\x82\" " + kRefused);
        QTest::newRow("only the second") << QByteArray("--drive") << QByteArray("C:\\d\xe9") << QString("The argument \"C:\\x5Cd\\xE9\" " + kRefused);
    }
    void arguments()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(QString, message);
        QByteArray program("qelvrin-batch");
        char* argv[] = {program.data(), first.data(), second.data(), nullptr};
        QCOMPARE(qelvrin::undecodablePath(second.isEmpty() ? 2 : 3, argv, QStringLiteral("/drive")), message);
    }

    void variables_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("driveBelowHome");
        QTest::addColumn<bool>("refused");
        for (const char* name : {"QELVRIN_DRIVE", "QELVRIN_DRIVE_A", "QELVRIN_DRIVE_B", "QELVRIN_STANDIN"})
            QTest::newRow(name) << QByteArray(name) << false << true;
        QTest::newRow("HOME, drive below it") << QByteArray("HOME") << true << true;
        QTest::newRow("HOME, drive elsewhere") << QByteArray("HOME") << false << false;
    }
    void variables()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, driveBelowHome);
        QFETCH(bool, refused);
        const QByteArray saved = qgetenv(name.constData());
        const bool wasSet = qEnvironmentVariableIsSet(name.constData());
        qputenv(name.constData(), "/tmp/d\xff");
        QByteArray program("qelvrin");
        char* argv[] = {program.data(), nullptr};
        const QString message = qelvrin::undecodablePath(1, argv, driveBelowHome ? QString() : QStringLiteral("/drive"));
        wasSet ? qputenv(name.constData(), saved) : qunsetenv(name.constData());
        QCOMPARE(message, refused ? QString("The path \"/tmp/d\\xFF\" in " + name + ' ' + kRefused) : QString());
    }

    // The real programs, given a command line through a shell and no display: refused, or answered at once, before any folder
    // is laid out or any file loaded.
    void programs_answerBeforeWritingAnything_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("line"); // $BAD is a lone byte 0xFF
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("says");
        const QString usage("Try 'qelvrin --help' for more information.\n");
        QTest::newRow("batch --drive") << "QELVRIN_BATCH" << R"(--json --drive "$ROOT/new$BAD" --drive-a "$DISKA" 'A:\M12345.I01')" << 2 << kRefused;
        QTest::newRow("batch QELVRIN_DRIVE") << "QELVRIN_BATCH" << R"(--json --drive-a "$DISKA" 'A:\M12345.I01')" << 2 << kRefused;
        QTest::newRow("window --setup-drive") << "QELVRIN_APP" << R"(--setup-drive --drive "$ROOT/new$BAD")" << 1 << kRefused;
        QTest::newRow("window without a display") << "QELVRIN_APP" << R"(--drive "$ROOT/new")" << 3
                                                  << "qelvrin: no display is available; qelvrin-batch runs the stages without one.\n";
        QTest::newRow("window --version") << "QELVRIN_APP" << "--version" << 0 << "QELVRIN 1.6.0\n";
        QTest::newRow("batch --version") << "QELVRIN_BATCH" << "--version" << 0 << "qelvrin-batch 1.6.0\n";
        QTest::newRow("window --drive without a folder") << "QELVRIN_APP" << "--drive" << 2 << usage;
        QTest::newRow("window, a stray argument") << "QELVRIN_APP" << R"(--setup-drive --drive "$ROOT/new" stray)" << 2 << usage;
        QTest::newRow("batch, an unknown option") << "QELVRIN_BATCH" << "--no-such-option" << 2 << "Try 'qelvrin-batch --help' for more information.\n";
    }
    void programs_answerBeforeWritingAnything()
    {
        QFETCH(QString, program);
        QFETCH(QString, line);
        QFETCH(int, status);
        QFETCH(QString, says);
        TempDrive drive;
        const QString parent = QFileInfo(drive.root()).path();
        const QStringList before = QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        QProcess process;
        QProcessEnvironment vars = QProcessEnvironment::systemEnvironment();
        for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            vars.remove(display);
        vars.insert("ROOT", parent);
        vars.insert("DISKA", drive.diskA());
        vars.insert("RUN", qEnvironmentVariable(program.toLatin1().constData()));
        process.setProcessEnvironment(vars);
        const QString setDrive = QTest::currentDataTag() == QLatin1String("batch QELVRIN_DRIVE") ? "QELVRIN_DRIVE=\"$ROOT/new$BAD\" " : "";
        process.start("/bin/sh", {"-c", "BAD=$(printf '\\377'); " + setDrive + "exec \"$RUN\" " + line});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), status);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2((says == kRefused ? err.contains(says) && err.contains("\\xFF") : (out + err).contains(says)), qPrintable(out + err));
        if (line.startsWith("--json"))
            QVERIFY(QJsonDocument::fromJson(out.toUtf8()).object().value("error").toString().endsWith(kRefused));
        QCOMPARE(QDir(parent).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), before);
    }
};

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
