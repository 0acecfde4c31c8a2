#pragma once

// Runs the built batch runner on temporary drives, as a script would.

#include "stages/job_record.h"
#include "support/system_setup.h"
#include "support/temp_drive.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <functional>
#include <memory>

namespace qelvrin::testing {

inline const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
inline const QByteArray kNormalMarker("\"NORMAL\"\r\n");

struct Outcome {
    int status = -1;
    QString out;
    QString err;
    QJsonObject json; // the --json result: stdout holds nothing else
    QString why;      // set when the run was killed for taking too long or too much memory
};

// How a run is started: `env` "NAME=value" sets, "NAME" removes a variable; `wrapper` runs the rest of the line; `drive` is the
// --drive text.
struct Launch {
    QStringList env;
    QStringList wrapper;
    QString drive;
    QString workingDir;
};

inline QProcess* startBatch(const TempDrive& drive, const QStringList& args, const Launch& how = {})
{
    auto* process = new QProcess;
    QProcessEnvironment vars = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : how.env)
        entry.contains(u'=') ? vars.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1)) : vars.remove(entry);
    process->setProcessEnvironment(vars);
    process->setWorkingDirectory(how.workingDir);
    const QStringList line = how.wrapper + QStringList{qEnvironmentVariable("QELVRIN_BATCH"), "--drive", how.drive.isEmpty() ? drive.root() : how.drive, "--drive-a", drive.diskA()} + args;
    process->start(line.first(), line.mid(1));
    return process;
}

inline qint64 procField(qint64 pid, const char* file, const QByteArray& field)
{
    const QByteArray text = readFile(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(file)));
    const qsizetype at = text.indexOf(field + ':');
    return at < 0 ? -1 : text.mid(at + field.size() + 1, text.indexOf('\n', at) - at - field.size() - 1).trimmed().split(' ').first().toLongLong();
}

// Waits for the run: killed, with `why` set, past a minute or 200 MB resident. `interruptWhen`, polled meanwhile, sends SIGINT
// the first time it holds.
inline Outcome finish(QProcess* process, const std::function<bool(qint64 pid)>& interruptWhen = {})
{
    Outcome outcome;
    const qint64 pid = process->waitForStarted(60000) ? process->processId() : 0;
    QElapsedTimer clock;
    clock.start();
    bool interrupted = false;
    while (pid > 0 && !process->waitForFinished(10)) {
        const qint64 resident = procField(pid, "status", "VmRSS");
        if (resident > 200 * 1024)
            outcome.why = QStringLiteral("resident memory reached %1 kB").arg(resident);
        else if (clock.elapsed() > 60000)
            outcome.why = QStringLiteral("still running after a minute");
        if (!outcome.why.isEmpty()) {
            process->kill();
            return outcome;
        }
        if (interruptWhen && !interrupted && interruptWhen(pid))
            interrupted = os::interrupt(pid);
    }
    outcome.status = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    outcome.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    outcome.err = QString::fromLocal8Bit(process->readAllStandardError());
    outcome.json = QJsonDocument::fromJson(outcome.out.toUtf8()).object();
    return outcome;
}

inline Outcome runBatch(const TempDrive& drive, const QStringList& args, const Launch& how = {})
{
    std::unique_ptr<QProcess> process(startBatch(drive, args, how));
    return finish(process.get());
}

// A batch processor script: `log` is the stage's log, `dir` the install folder; it notes that it ran before `job`.
inline void installJob(const TempDrive& drive, const QByteArray& job)
{
    drive.installBatchProcessor("log=\"$4\"; dir=\"${log%/*}\"; : > \"$dir/RAN\"\n" + job + '\n');
}

// A drive with data loaded and a script as the batch processor, which notes its start, hangs as `hang` says while HANG exists,
// then ends normally.
struct ScriptedDrive : TempDrive {
    explicit ScriptedDrive(const QByteArray& hang = "sleep 60")
    {
        writeInstalled({"QELVDATA"});
        write(kMarker, kNormalMarker);
        installBatchProcessor(": > STARTED\nif [ -e HANG ]; then " + hang + "; fi\nprintf 'NOTE: ran\\r\\n' > \"$4\"\n: > SIGNAL.TXT\n");
    }
    QString installed(const QString& name) const { return native(kInstallDir + name); }
    bool started() const { return QFileInfo::exists(installed("STARTED")); }
    // Open to the lab's group, as a shared drive is; a drive every user can write is refused.
    void share() const
    {
        const QString top = QFileInfo(root()).path();
        QProcess::execute("chgrp", {"-R", "nogroup", top});
        QProcess::execute("chmod", {"-R", "g+rwX,o+rX", top});
    }
    std::optional<BatchJob> job() const { return readJobRecord(installed("BATCHJOB.DAT")); }
    void killJob() const
    {
        if (const std::optional<BatchJob> running = job())
            forceEnd(*running);
    }
};

} // namespace qelvrin::testing
