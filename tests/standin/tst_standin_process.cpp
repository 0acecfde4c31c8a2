// Runs the built stand-in on a temporary install directory, as the front
// end does, and reads back what it leaves there.

#include "support/file_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::testing::readFile;
using qelvrin::testing::writeFile;

namespace {

const QByteArrayList kFailureWords{"stopped", "memory", "not found", "aborted"};
const QByteArray kSessionEnd("NOTE: The batch session has ended.\r\n");
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

// Lines of a CR LF file; any other line end fails the calling test.
QByteArrayList crlfLines(const QByteArray& bytes)
{
    QByteArrayList lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines) {
        if (!line.endsWith('\r') || line.chopped(1).contains('\r'))
            qFatal("line without CR LF: %s", line.constData());
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
    explicit InstallDir(const QStringList& demoFiles = {"diskettes/disk1/M12345.I01", "diskettes/disk1/M12345.I02",
                                                        "diskettes/disk1/M12345.I03", "diskettes/disk2/M12345.I04"})
    {
        QByteArray data;
        for (const QString& file : demoFiles)
            data += readFile(QStringLiteral(QELVRIN_DEMO_DIR "/") + file);
        writeFile(m_dir, QStringLiteral("QELVDATA"), data);
    }

    QString root() const { return m_dir.path(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

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

// With `parentIgnoresSigterm` the stand-in is exec'd from a shell that
// ignores SIGTERM: an ignored signal survives exec.
void startStandin(QProcess& process, const QStringList& arguments, const QString& pace = QStringLiteral("0"),
                  const QString& outcome = QStringLiteral("normal"), bool parentIgnoresSigterm = false)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QELVRIN_STANDIN_PACE_MS"), pace);
    env.insert(QStringLiteral("QELVRIN_STANDIN_OUTCOME"), outcome);
    process.setProcessEnvironment(env);
    const QString standIn = QString::fromLocal8Bit(qgetenv("QELVRIN_STANDIN"));
    if (parentIgnoresSigterm)
        process.start(QStringLiteral("/bin/sh"), QStringList{"-c", "trap '' TERM; exec \"$0\" \"$@\"", standIn} + arguments);
    else
        process.start(standIn, arguments);
}

void runToEnd(QProcess& process, const QStringList& arguments, const QString& outcome = QStringLiteral("normal"))
{
    startStandin(process, arguments, QStringLiteral("0"), outcome);
    QVERIFY(process.waitForFinished(kRunTimeoutMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
}

} // namespace

class TestStandinProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalRun_writesLogOfExpectedSizeAndSignal_data()
    {
        QTest::addColumn<QString>("jobName");
        QTest::newRow("data load") << "DLOADJCL";
        QTest::newRow("initial assessment") << "IASMTJCL";
        QTest::newRow("full assessment") << "FASMTJCL";
    }

    void normalRun_writesLogOfExpectedSizeAndSignal()
    {
        QFETCH(QString, jobName);
        const Job job = jobFor(jobName);
        InstallDir dir;
        QProcess process;
        runToEnd(process, dir.arguments(job));
        QCOMPARE(process.exitCode(), 0);
        QVERIFY(dir.hasSignal());
        const QByteArray log = dir.log(job);
        QVERIFY2(log.size() > job.expectedLogSize * 9 / 10 && log.size() <= job.expectedLogSize * 11 / 10,
                 qPrintable(QStringLiteral("log has %1 bytes").arg(log.size())));
        QCOMPARE(firstFailureLine(log), QByteArray());
        QVERIFY(log.endsWith(kSessionEnd));
    }

    void report_isPagedInSixtyLinesOf133Columns()
    {
        const Job job = jobFor(QStringLiteral("FASMTJCL"));
        InstallDir dir;
        QProcess process;
        runToEnd(process, dir.arguments(job));
        const QByteArrayList lines = crlfLines(readFile(dir.path(job.report)));
        QVERIFY(!lines.isEmpty() && !lines.first().startsWith('\f'));
        QList<int> pageLengths{0};
        qsizetype widest = 0;
        for (QByteArray line : lines) {
            if (line.startsWith('\f')) {
                pageLengths.append(0);
                line.remove(0, 1);
            }
            QVERIFY2(!line.contains('\f'), "a form feed only starts a page");
            widest = std::max(widest, line.size());
            ++pageLengths.last();
        }
        QCOMPARE(widest, 133);
        QVERIFY(pageLengths.size() >= 2);
        for (qsizetype p = 0; p + 1 < pageLengths.size(); ++p)
            QCOMPARE(pageLengths.at(p), 60);
        QVERIFY(pageLengths.last() <= 60);
    }

    void outcome_decidesFailureWordAndSignal_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("failureWord");
        QTest::addColumn<bool>("signal");
        const QString demo = QStringLiteral("diskettes/disk1/M12345.I01");
        QTest::newRow("forced abend") << "abend" << demo << 1 << true << true;
        QTest::newRow("exit without signal") << "exit-nosignal" << demo << 0 << false << false;
        QTest::newRow("malformed sample") << "normal" << "malformed/M34567.I01" << 1 << true << true;
    }
    void outcome_decidesFailureWordAndSignal()
    {
        QFETCH(QString, outcome);
        QFETCH(QString, sample);
        QFETCH(int, exitCode);
        QFETCH(bool, failureWord);
        QFETCH(bool, signal);
        const Job job = jobFor(QStringLiteral("IASMTJCL"));
        InstallDir dir({sample});
        QProcess process;
        runToEnd(process, dir.arguments(job), outcome);
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(dir.hasSignal(), signal);
        QCOMPARE(!firstFailureLine(dir.log(job)).isEmpty(), failureWord);
    }

    void noSignalOutcome_waitsAfterLogUntilTerminated()
    {
        const Job job = jobFor(QStringLiteral("DLOADJCL"));
        InstallDir dir;
        QProcess process;
        startStandin(process, dir.arguments(job), QStringLiteral("0"), QStringLiteral("nosignal"));
        QTRY_VERIFY(dir.log(job).endsWith(kSessionEnd));
        QCOMPARE(process.state(), QProcess::Running);
        process.terminate();
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
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
        QProcess process;
        startStandin(process, dir.arguments(job), QStringLiteral("600000"), QStringLiteral("normal"), parentIgnoresSigterm);
        QTRY_VERIFY(dir.log(job).size() > 0);
        process.terminate();
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
        QVERIFY(!dir.hasSignal());
        QVERIFY(dir.log(job).size() < job.expectedLogSize / 2);
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
        QTest::newRow("unknown job") << QStringList{"-SYSIN", "@/OTHERJCL", "-LOG", "@/D.LOG"} << "0" << n
                                     << "names no known job";
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
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), dir.root());
        QProcess process;
        startStandin(process, arguments, pace, outcome);
        QVERIFY(process.waitForFinished(kRunTimeoutMs));
        QCOMPARE(process.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(error.startsWith(QLatin1String("qelvrin-sas: ")) && error.contains(message), qPrintable(error));
        QCOMPARE(QDir(dir.root()).entryList(QDir::Files), QStringList{"QELVDATA"});
    }
};

QTEST_GUILESS_MAIN(TestStandinProcess)
#include "tst_standin_process.moc"
