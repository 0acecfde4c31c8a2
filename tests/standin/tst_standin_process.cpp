// Runs the built stand-in on a temporary install directory, as the front
// end does, and reads back what it leaves there.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArrayList kFailureWords{"stopped", "memory", "not found", "aborted"};
constexpr int kRunTimeoutMs = 60000;

struct Job {
    QString name;
    QString report; // empty for Data Load
    qint64 expectedLogSize;
};

Job jobFor(const QString& name)
{
    if (name == QLatin1String("DLOADJCL"))
        return {name, {}, 14800};
    if (name == QLatin1String("IASMTJCL"))
        return {name, QStringLiteral("SDEFECT.TXT"), 6600};
    return {name, QStringLiteral("TDEFECT.TXT"), 114000};
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lines of a file written with CR LF; the test fails on any other line end.
QByteArrayList crlfLines(const QByteArray& bytes)
{
    QByteArrayList lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.chopped(1).contains('\r'))
            return {"<line without CR LF: " + line + ">"};
        line.chop(1);
    }
    return lines;
}

QByteArray firstFailureLine(const QByteArray& log)
{
    for (const QByteArray& line : crlfLines(log)) {
        for (const QByteArray& word : kFailureWords) {
            if (line.contains(word))
                return line;
        }
    }
    return {};
}

class InstallDir {
public:
    InstallDir() { QVERIFY(m_dir.isValid()); }

    QString root() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void loadSdg(const QStringList& demoFiles, const QString& dataName = QStringLiteral("QELVDATA")) const
    {
        QByteArray data;
        for (const QString& file : demoFiles)
            data += readFile(QStringLiteral(QELVRIN_DEMO_DIR "/") + file);
        QVERIFY(!data.isEmpty());
        writeData(data, dataName);
    }

    void writeData(const QByteArray& data, const QString& dataName = QStringLiteral("QELVDATA")) const
    {
        QFile file(path(dataName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QStringList arguments(const Job& job) const
    {
        QStringList args{QStringLiteral("-SYSIN"), path(job.name), QStringLiteral("-LOG"), path(job.name + ".LOG")};
        if (!job.report.isEmpty())
            args << QStringLiteral("-PRINT") << path(job.report);
        return args;
    }

    QByteArray log(const Job& job) const { return readFile(path(job.name + ".LOG")); }
    bool hasSignal() const { return QFileInfo::exists(path(QStringLiteral("SIGNAL.TXT"))); }

private:
    QTemporaryDir m_dir;
};

void startStandin(QProcess& process, const QStringList& arguments, int paceMs = 0,
                  const QString& outcome = QStringLiteral("normal"))
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), QString::number(paceMs));
    env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
    process.setProcessEnvironment(env);
    process.start(QString::fromLocal8Bit(qgetenv("QELVRIN_STANDIN")), arguments);
    QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
}

void runToEnd(QProcess& process, const QStringList& arguments, const QString& outcome = QStringLiteral("normal"))
{
    startStandin(process, arguments, 0, outcome);
    QVERIFY(process.waitForFinished(kRunTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
}

const QStringList kM12345{"diskettes/disk1/M12345.I01", "diskettes/disk1/M12345.I02",
                          "diskettes/disk1/M12345.I03", "diskettes/disk2/M12345.I04"};

} // namespace

class TestStandinProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(QString::fromLocal8Bit(qgetenv("QELVRIN_STANDIN"))).isExecutable(),
                 "QELVRIN_STANDIN names no executable");
    }

    void normalRun_writesLogOfExpectedSizeAndSignal_data()
    {
        QTest::addColumn<QString>("jobName");
        QTest::addColumn<QStringList>("sdg");
        QTest::newRow("data load, two diskettes") << "DLOADJCL" << kM12345;
        QTest::newRow("initial assessment") << "IASMTJCL" << kM12345;
        QTest::newRow("full assessment") << "FASMTJCL" << kM12345;
        QTest::newRow("data load, second sample") << "DLOADJCL" << QStringList{"sdg/M23456.I01", "sdg/M23456.I02"};
        QTest::newRow("full assessment, second sample") << "FASMTJCL" << QStringList{"sdg/M23456.I01", "sdg/M23456.I02"};
    }

    void normalRun_writesLogOfExpectedSizeAndSignal()
    {
        QFETCH(QString, jobName);
        QFETCH(QStringList, sdg);
        const Job job = jobFor(jobName);
        InstallDir dir;
        dir.loadSdg(sdg);
        QProcess process;
        runToEnd(process, dir.arguments(job));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(dir.hasSignal());

        const QByteArray log = dir.log(job);
        QVERIFY2(log.size() > job.expectedLogSize * 9 / 10 && log.size() <= job.expectedLogSize * 11 / 10,
                 qPrintable(QStringLiteral("log has %1 bytes").arg(log.size())));
        QCOMPARE(firstFailureLine(log), QByteArray());
        const QByteArrayList lines = crlfLines(log);
        QVERIFY(!lines.first().startsWith("<line without"));
        QVERIFY(lines.first().startsWith("NOTE: "));
        QVERIFY(log.contains("\r\nERROR:") == false);
        for (const QByteArray& line : lines)
            QVERIFY2(line.size() <= 80, line.constData());
        if (!job.report.isEmpty())
            QVERIFY(QFileInfo(dir.path(job.report)).size() > 0);
    }

    void report_isPagedInSixtyLinesOf133Columns_data()
    {
        QTest::addColumn<QString>("jobName");
        QTest::newRow("initial assessment") << "IASMTJCL";
        QTest::newRow("full assessment") << "FASMTJCL";
    }

    void report_isPagedInSixtyLinesOf133Columns()
    {
        QFETCH(QString, jobName);
        const Job job = jobFor(jobName);
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        runToEnd(process, dir.arguments(job));

        const QByteArrayList lines = crlfLines(readFile(dir.path(job.report)));
        QVERIFY(!lines.isEmpty());
        QVERIFY(!lines.first().startsWith("<line without"));
        QVERIFY2(!lines.first().startsWith('\f'), "the first page starts without a form feed");
        QList<QByteArrayList> pages{{}};
        qsizetype widest = 0;
        for (QByteArray line : lines) {
            if (line.startsWith('\f')) {
                pages.append(QByteArrayList{});
                line.remove(0, 1);
            }
            QVERIFY2(!line.contains('\f'), "a form feed only starts a page");
            widest = std::max(widest, line.size());
            pages.last().append(line);
        }
        QCOMPARE(widest, 133);
        QVERIFY2(pages.size() >= 2, "the demo SDG fills more than one page");
        for (qsizetype p = 0; p < pages.size(); ++p) {
            const QByteArrayList& page = pages.at(p);
            if (p + 1 < pages.size())
                QCOMPARE(page.size(), 60);
            else
                QVERIFY(page.size() <= 60);
            QVERIFY2(page.first().trimmed().endsWith("Page " + QByteArray::number(p + 1)), page.first().constData());
            QVERIFY(page.at(1).contains("SDG: M12345"));
        }
        QVERIFY(lines.join('\n').contains("Frequency"));
    }

    void malformedRecord_endsAbnormallyWithSignal_data()
    {
        QTest::addColumn<QString>("jobName");
        QTest::newRow("data load") << "DLOADJCL";
        QTest::newRow("full assessment") << "FASMTJCL";
    }

    void malformedRecord_endsAbnormallyWithSignal()
    {
        QFETCH(QString, jobName);
        const Job job = jobFor(jobName);
        InstallDir dir;
        dir.loadSdg({"malformed/M34567.I01"});
        QProcess process;
        runToEnd(process, dir.arguments(job));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(dir.hasSignal());
        const QByteArray log = dir.log(job);
        QVERIFY(log.contains("ERROR: Record 16 of QELVDATA"));
        QVERIFY(firstFailureLine(log).contains("stopped"));
        QVERIFY(firstFailureLine(log).startsWith("ERROR:"));
    }

    void unusableDataFile_endsAbnormally_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("asDirectory");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << QByteArray() << false << QByteArray("missing");
        QTest::newRow("empty") << QByteArray("") << false << QByteArray("holds no records");
        QTest::newRow("blank lines only") << QByteArray("\r\n  \r\n\r\n") << false << QByteArray("holds no records");
        QTest::newRow("a directory") << QByteArray() << true << QByteArray("cannot be read");
        QTest::newRow("no header") << QByteArray("S,W1,WATER,20260101,100\r\n") << false
                                   << QByteArray("no header (H) record");
        QTest::newRow("result without sample") << QByteArray("H,M11111,LAB,C1,20260101\r\nR,W9,AL,P,5,UG/L,1,,20260102\r\n")
                                               << false << QByteArray("sample W9 has results but no sample (S) record");
    }

    void unusableDataFile_endsAbnormally()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, asDirectory);
        QFETCH(QByteArray, reason);
        const Job job = jobFor(QStringLiteral("DLOADJCL"));
        InstallDir dir;
        if (asDirectory)
            QVERIFY(QDir(dir.root()).mkdir(QStringLiteral("QELVDATA")));
        else if (!data.isNull())
            dir.writeData(data);
        QProcess process;
        runToEnd(process, dir.arguments(job));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(dir.hasSignal());
        const QByteArray log = dir.log(job);
        QVERIFY2(log.contains(reason), log.constData());
        QVERIFY(firstFailureLine(log).contains("stopped"));
    }

    void dataFileName_isMatchedWithoutCase()
    {
        const Job job = jobFor(QStringLiteral("DLOADJCL"));
        InstallDir dir;
        dir.loadSdg({"sdg/M23456.I01", "sdg/M23456.I02"}, QStringLiteral("QelvData"));
        QProcess process;
        runToEnd(process, dir.arguments(job));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(firstFailureLine(dir.log(job)), QByteArray());
    }

    void forcedAbend_logsFailureAndWritesSignal_data()
    {
        QTest::addColumn<QString>("jobName");
        QTest::newRow("data load") << "DLOADJCL";
        QTest::newRow("initial assessment") << "IASMTJCL";
        QTest::newRow("full assessment") << "FASMTJCL";
    }

    void forcedAbend_logsFailureAndWritesSignal()
    {
        QFETCH(QString, jobName);
        const Job job = jobFor(jobName);
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        runToEnd(process, dir.arguments(job), QStringLiteral("abend"));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(dir.hasSignal());
        QVERIFY(!firstFailureLine(dir.log(job)).isEmpty());
    }

    void exitWithoutSignal_writesWholeLogOnly()
    {
        const Job job = jobFor(QStringLiteral("IASMTJCL"));
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        runToEnd(process, dir.arguments(job), QStringLiteral("exit-nosignal"));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(!dir.hasSignal());
        QVERIFY(dir.log(job).endsWith("NOTE: The batch session has ended.\r\n"));
        QCOMPARE(firstFailureLine(dir.log(job)), QByteArray());
    }

    void noSignal_waitsAfterLogUntilTerminated()
    {
        const Job job = jobFor(QStringLiteral("DLOADJCL"));
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        startStandin(process, dir.arguments(job), 0, QStringLiteral("nosignal"));
        QTRY_VERIFY(dir.log(job).endsWith("NOTE: The batch session has ended.\r\n"));
        QCOMPARE(process.state(), QProcess::Running);
        QVERIFY(!dir.hasSignal());
        process.terminate();
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QVERIFY(!dir.hasSignal());
    }

    void sigtermDuringRun_endsAtOnceWithoutSignal_data()
    {
        QTest::addColumn<bool>("parentIgnoresSigterm");
        QTest::newRow("started directly") << false;
        QTest::newRow("SIGTERM ignored by the parent") << true;
    }

    void sigtermDuringRun_endsAtOnceWithoutSignal()
    {
        QFETCH(bool, parentIgnoresSigterm);
        const Job job = jobFor(QStringLiteral("FASMTJCL"));
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        if (parentIgnoresSigterm) {
            // An ignored signal survives exec; the shell's pid becomes the stand-in's.
            const QStringList shellArguments = QStringList{QStringLiteral("-c"), QStringLiteral("trap '' TERM; exec \"$0\" \"$@\""),
                                                           QString::fromLocal8Bit(qgetenv("QELVRIN_STANDIN"))}
                                               + dir.arguments(job);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), QStringLiteral("600000"));
            process.setProcessEnvironment(env);
            process.start(QStringLiteral("/bin/sh"), shellArguments);
            QVERIFY(process.waitForStarted());
        } else {
            startStandin(process, dir.arguments(job), 600000);
        }
        QTRY_VERIFY(dir.log(job).size() > 0);
        process.terminate();
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QVERIFY(!dir.hasSignal());
        QVERIFY(dir.log(job).size() < job.expectedLogSize / 2);
    }

    void pacedRun_growsLogBeforeSignal()
    {
        const Job job = jobFor(QStringLiteral("DLOADJCL"));
        InstallDir dir;
        dir.loadSdg(kM12345);
        QProcess process;
        startStandin(process, dir.arguments(job), 3000);
        QTRY_VERIFY(dir.log(job).size() > 0 && dir.log(job).size() < job.expectedLogSize / 2);
        QVERIFY(!dir.hasSignal());
        QTRY_VERIFY_WITH_TIMEOUT(dir.hasSignal(), kRunTimeoutMs);
        // The signal is the last act: once it is there the log is complete.
        QVERIFY(dir.log(job).endsWith("NOTE: The batch session has ended.\r\n"));
        QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, kRunTimeoutMs);
        QCOMPARE(process.exitCode(), 0);
    }

    void optionsAndJobNames_anyLetterCase_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("jobFile");
        QTest::newRow("lower case") << QStringList{"-sysin", "-log", "-print"} << "fasmtjcl";
        QTest::newRow("mixed case") << QStringList{"-SysIn", "-Log", "-Print"} << "FasmtJcl";
        QTest::newRow("upper case") << QStringList{"-SYSIN", "-LOG", "-PRINT"} << "FASMTJCL";
    }

    void optionsAndJobNames_anyLetterCase()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, jobFile);
        InstallDir dir;
        dir.loadSdg({"sdg/M23456.I01", "sdg/M23456.I02"});
        QProcess process;
        // -PRINT first: the order of the options does not matter either.
        runToEnd(process, {options[2], dir.path("TDEFECT.TXT"), options[0], dir.path(jobFile), options[1],
                           dir.path("FASMTJCL.LOG")});
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(dir.hasSignal());
        QVERIFY(QFileInfo(dir.path("TDEFECT.TXT")).size() > 0);
        QVERIFY(QFileInfo(dir.path("FASMTJCL.LOG")).size() > 100000);
    }

    void badArguments_refusedWithMessage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("pace");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("message");
        const QString n = QStringLiteral("normal");
        QTest::newRow("no arguments") << QStringList{} << "0" << n << "-SYSIN is missing";
        QTest::newRow("unknown option") << QStringList{"-SYSIN", "@/DLOADJCL", "-LOG", "@/D.LOG", "-FAST", "x"} << "0" << n
                                        << "unknown option";
        QTest::newRow("option without value") << QStringList{"-SYSIN", "@/DLOADJCL", "-LOG"} << "0" << n
                                              << "-LOG needs a file name";
        QTest::newRow("log missing") << QStringList{"-SYSIN", "@/DLOADJCL"} << "0" << n << "-LOG is missing";
        QTest::newRow("unknown job") << QStringList{"-SYSIN", "@/OTHERJCL", "-LOG", "@/D.LOG"} << "0" << n
                                     << "names no known job";
        QTest::newRow("report missing") << QStringList{"-SYSIN", "@/IASMTJCL", "-LOG", "@/I.LOG"} << "0" << n
                                        << "-PRINT is missing";
        QTest::newRow("option twice") << QStringList{"-SYSIN", "@/DLOADJCL", "-log", "@/D.LOG", "-LOG", "@/E.LOG"} << "0"
                                      << n << "given twice";
        QTest::newRow("pace not a number") << QStringList{"-SYSIN", "@/DLOADJCL", "-LOG", "@/D.LOG"} << "soon" << n
                                           << "QELVRIN_STANDIN_PACE_MS";
        QTest::newRow("negative pace") << QStringList{"-SYSIN", "@/DLOADJCL", "-LOG", "@/D.LOG"} << "-5" << n
                                       << "QELVRIN_STANDIN_PACE_MS";
        QTest::newRow("unknown outcome") << QStringList{"-SYSIN", "@/DLOADJCL", "-LOG", "@/D.LOG"} << "0" << "sometimes"
                                         << "QELVRIN_STANDIN_OUTCOME";
    }

    void badArguments_refusedWithMessage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, pace);
        QFETCH(QString, outcome);
        QFETCH(QString, message);
        InstallDir dir;
        dir.loadSdg(kM12345);
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), dir.root());
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), pace);
        env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
        process.setProcessEnvironment(env);
        process.start(QString::fromLocal8Bit(qgetenv("QELVRIN_STANDIN")), arguments);
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(error.startsWith(QLatin1String("qelvrin-sas: ")) && error.contains(message), qPrintable(error));
        QVERIFY(!dir.hasSignal());
        QCOMPARE(QDir(dir.root()).entryList(QDir::Files), QStringList{"QELVDATA"});
    }
};

QTEST_GUILESS_MAIN(TestStandinProcess)
#include "tst_standin_process.moc"
