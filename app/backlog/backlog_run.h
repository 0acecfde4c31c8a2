#pragma once

#include "app/backlog/backlog_list.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace qelvrin::backlog {

// Lines of the backlog run on this machine through GNU parallel, `jobs` at
// a time, each as a task of this program. On a terminal, one progress line
// for the whole backlog; at the end, the report and its counts.
class LocalRun : public QObject {
    Q_OBJECT

public:
    LocalRun(QString outdir, QList<BacklogLine> lines, int jobs, bool terminal);
    bool start();
    // Ctrl-C or a kill: parallel ends the running tasks, which keep what
    // their runners wrote; a resume carries on.
    void interrupt(int signalNumber);

Q_SIGNALS:
    void finished(int exitStatus);

private:
    void showProgress();
    bool tasksRunning() const;
    void awaitTasks(int parallelStatus);
    void end(int parallelStatus);

    QString m_outdir;
    QList<BacklogLine> m_lines;
    int m_jobs;
    bool m_terminal;
    bool m_interrupted = false;
    QProcess m_parallel;
    QTimer m_tick;
    QElapsedTimer m_clock;
    QDateTime m_started;
    // Lines this run has seen finish, and whether each failed: a line runs
    // once a run, so its result is not read again at every tick.
    QHash<int, bool> m_finished;
};

// The ordinals (1-based, among the SDG lines) as a Slurm array: "1-3,7".
QString arraySpec(const QList<int>& ordinals);

// Submits the given SDG lines (by ordinal) as one job array; the tasks run
// this program's `task`. sbatch's answer goes to stdout; its exit status.
int submitArray(const QString& outdir, const QList<int>& ordinals, const QStringList& sbatchArguments);

} // namespace qelvrin::backlog
