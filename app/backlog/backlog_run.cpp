#include "app/backlog/backlog_run.h"

#include "app/backlog/backlog_report.h"
#include "app/backlog/backlog_results.h"
#include "platform/signal_process.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace qelvrin::backlog {

namespace {

constexpr int kTickMs = 500;
constexpr int kPollMs = 50;
// parallel's own wait before it kills a task that does not end.
constexpr int kTaskEndWaitMs = 10000;
// Tasks that Slurm runs at once from one array.
constexpr int kArrayLimit = 20;

QString shellQuoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
}

} // namespace

LocalRun::LocalRun(QString outdir, QList<BacklogLine> lines, int jobs, bool terminal)
    : m_outdir(std::move(outdir)), m_lines(std::move(lines)), m_jobs(jobs), m_terminal(terminal)
{
}

bool LocalRun::start()
{
    QStringList arguments{QStringLiteral("--will-cite"), QStringLiteral("--jobs"), QString::number(m_jobs),
                          // A task gets time to close its runner's stage and keep the logs.
                          QStringLiteral("--termseq"), QStringLiteral("TERM,10000,KILL,25"), QStringLiteral("--quote"),
                          QCoreApplication::applicationFilePath(), QStringLiteral("task"), m_outdir, QStringLiteral(":::")};
    for (const BacklogLine& line : m_lines)
        arguments.append(QString::number(line.ordinal));
    m_parallel.setStandardOutputFile(QProcess::nullDevice());
    m_parallel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_parallel, &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) { awaitTasks(how == QProcess::NormalExit ? code : 255); });
    m_started = QDateTime::currentDateTimeUtc();
    m_clock.start();
    m_parallel.start(QStringLiteral("parallel"), arguments);
    if (!m_parallel.waitForStarted()) {
        QTextStream(stderr) << "qelvrin-backlog: GNU parallel: " << m_parallel.errorString() << '\n';
        return false;
    }
    connect(&m_tick, &QTimer::timeout, this, &LocalRun::showProgress);
    if (m_terminal)
        m_tick.start(kTickMs);
    return true;
}

void LocalRun::interrupt(int signalNumber)
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    passOnTermination(m_parallel.processId(), signalNumber);
}

bool LocalRun::tasksRunning() const
{
    // A task's runner writes its result beside it until the task keeps it.
    for (const BacklogLine& line : m_lines) {
        if (QFileInfo::exists(resultPath(m_outdir, line) + QStringLiteral(".part")))
            return true;
    }
    return false;
}

void LocalRun::showProgress()
{
    for (const BacklogLine& line : m_lines) {
        if (m_finished.contains(line.ordinal))
            continue;
        const QString path = resultPath(m_outdir, line);
        if (QFileInfo(path).lastModified() < m_started)
            continue; // an earlier run's, which --failed runs again
        if (const LineResult result{line, readResult(path)}; result.finished())
            m_finished.insert(line.ordinal, result.exitStatus() != 0);
    }
    const int done = int(m_finished.size());
    const int failed = int(std::count(m_finished.cbegin(), m_finished.cend(), true));
    QString left = QStringLiteral("time left unknown");
    if (done > 0) {
        const qint64 seconds = m_clock.elapsed() * (m_lines.size() - done) / done / 1000;
        left = QStringLiteral("about %1:%2 left").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    std::fprintf(stdout, "\r%d/%d done, %d failed, %s  ", done, int(m_lines.size()), failed, qPrintable(left));
    std::fflush(stdout);
}

void LocalRun::awaitTasks(int parallelStatus)
{
    // Interrupted, parallel leaves as soon as it has signalled its tasks,
    // which still keep what their runners wrote: the report waits for them.
    QElapsedTimer waited;
    waited.start();
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll, waited, parallelStatus] {
        if (tasksRunning() && waited.elapsed() < kTaskEndWaitMs)
            return;
        poll->deleteLater();
        end(parallelStatus);
    });
    poll->start(kPollMs);
}

void LocalRun::end(int parallelStatus)
{
    m_tick.stop();
    QTextStream out(stdout);
    if (m_terminal) {
        showProgress();
        out << '\n';
    }
    const ReportWritten report = writeReport(m_outdir);
    if (!report.error.isEmpty()) {
        QTextStream(stderr) << "qelvrin-backlog: the report could not be written: " << report.error << '\n';
        Q_EMIT finished(2);
        return;
    }
    out << countsText(report.counts) << '\n' << "Report: " << m_outdir << "/report.html\n";
    out.flush();
    // parallel says 255 when it could not run at all (a bad option); the
    // results say everything else.
    const int status = m_interrupted ? 130 : backlogStatus(report.counts);
    Q_EMIT finished(parallelStatus == 255 && status == 0 ? 2 : status);
}

QString arraySpec(const QList<int>& ordinals)
{
    QStringList ranges;
    for (qsizetype i = 0; i < ordinals.size();) {
        qsizetype j = i;
        while (j + 1 < ordinals.size() && ordinals.at(j + 1) == ordinals.at(j) + 1)
            ++j;
        ranges.append(j == i ? QString::number(ordinals.at(i)) : QStringLiteral("%1-%2").arg(ordinals.at(i)).arg(ordinals.at(j)));
        i = j + 1;
    }
    return ranges.join(QLatin1Char(','));
}

int submitArray(const QString& outdir, const QList<int>& ordinals, const QStringList& sbatchArguments)
{
    // The script is read by sbatch from stdin: nothing of it lies in OUTDIR
    // for anyone to change between the submit and the tasks.
    const QString script = QStringLiteral("#!/bin/sh\n#SBATCH --job-name=qelvrin\n#SBATCH --cpus-per-task=1\n#SBATCH --time=00:30:00\n"
                                          "exec %1 task %2 \"$SLURM_ARRAY_TASK_ID\"\n")
                               .arg(shellQuoted(QCoreApplication::applicationFilePath()), shellQuoted(outdir));
    // sbatch reads % in a file name as its own, %% as a %.
    const QString logs = QString(outdir).replace(QLatin1Char('%'), QStringLiteral("%%")) + QStringLiteral("/logs/%A_%a.out");
    QProcess sbatch;
    sbatch.setProcessChannelMode(QProcess::ForwardedChannels);
    sbatch.start(QStringLiteral("sbatch"), QStringList{QStringLiteral("--array=%1%%2").arg(arraySpec(ordinals)).arg(kArrayLimit),
                                                       QStringLiteral("--output=") + logs} + sbatchArguments);
    if (!sbatch.waitForStarted()) {
        QTextStream(stderr) << "qelvrin-backlog: sbatch: " << sbatch.errorString() << '\n';
        return 2;
    }
    sbatch.write(script.toUtf8());
    sbatch.closeWriteChannel();
    sbatch.waitForFinished(-1);
    return sbatch.exitStatus() == QProcess::NormalExit && sbatch.exitCode() == 0 ? 0 : 2;
}

} // namespace qelvrin::backlog
