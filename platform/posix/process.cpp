#include "platform/process.h"

#include "platform/drive_map.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

extern char** environ;

namespace qelvrin {

namespace {

bool looksLikeDosPath(const QString& word)
{
    return word.startsWith(QLatin1Char('\\')) || (word.size() >= 3 && word.at(1) == QLatin1Char(':') && word.at(2) == QLatin1Char('\\'));
}

QString reasonNotStartable(const QString& program)
{
    const QFileInfo info(program);
    if (program.isEmpty())
        return QStringLiteral("its drive is not mapped");
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (info.isDir())
        return QStringLiteral("it is a directory");
    if (!info.isExecutable())
        return QStringLiteral("the file is not executable");
    return {};
}

// What a process's /proc/PID/stat says about it.
struct ProcStat {
    char state = '?';
    qint64 session = 0;
    quint64 startTicks = 0;
};

std::optional<ProcStat> readStat(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    const QByteArray text = file.read(4096);
    // The command name in parentheses may hold blanks and parentheses.
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // After the name: state, ppid, pgrp, session, ... field 22 the start time.
    if (fields.size() < 20 || fields.at(0).isEmpty())
        return std::nullopt;
    ProcStat stat;
    stat.state = fields.at(0).at(0);
    stat.session = fields.at(3).toLongLong();
    stat.startTicks = fields.at(19).toULongLong();
    return stat;
}

bool living(const ProcStat& stat)
{
    return stat.state != 'Z' && stat.state != 'X' && stat.state != 'x';
}

QByteArray currentBootId()
{
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64).trimmed();
}

// The job's identity: its session (and process group), the session
// leader's start in clock ticks after boot, and the boot's id ("-" when it
// could not be read). The leader is a go-between that ends at once, so the
// session's number stays taken only while a process of the job lives, and
// its start time tells a later holder of the number apart.
struct Identity {
    qint64 session = 0;
    quint64 startTicks = 0;
    QByteArray bootId; // empty when unknown
};

QByteArray identityText(const Identity& identity)
{
    return QByteArray::number(identity.session) + ' ' + QByteArray::number(identity.startTicks) + ' '
           + (identity.bootId.isEmpty() ? QByteArray("-") : identity.bootId);
}

std::optional<Identity> parseIdentity(const QByteArray& text)
{
    const QList<QByteArray> fields = text.split(' ');
    if (fields.size() != 3)
        return std::nullopt;
    bool sessionOk = false;
    bool ticksOk = false;
    Identity identity;
    identity.session = fields.at(0).toLongLong(&sessionOk);
    identity.startTicks = fields.at(1).toULongLong(&ticksOk);
    identity.bootId = fields.at(2) == "-" ? QByteArray() : fields.at(2);
    if (!sessionOk || !ticksOk || identity.session <= 0)
        return std::nullopt;
    return identity;
}

// What the go-between and the batch processor tell the parent through a
// pipe that closes when the processor's program runs: its pid, or why the
// fork or the exec failed. Each message is one atomic write.
struct ChildReport {
    qint64 tag;
    qint64 value;
};
constexpr qint64 kReportPid = 1;
constexpr qint64 kReportErrno = 2;

void report(int fd, qint64 tag, qint64 value)
{
    const ChildReport message{tag, value};
    [[maybe_unused]] const ssize_t written = ::write(fd, &message, sizeof message);
}

// Runs in the forked go-between: only async-signal-safe calls from here on.
[[noreturn]] void runGoBetween(const std::vector<char*>& argv, const char* workingDir, int devNull, int reportFd)
{
    ::setsid();
    const pid_t processor = ::fork();
    if (processor != 0) {
        if (processor < 0)
            report(reportFd, kReportErrno, errno);
        else
            report(reportFd, kReportPid, processor);
        ::_exit(0);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        ::signal(signal, SIG_DFL);
    for (int stream = 0; stream < 3; ++stream)
        ::dup2(devNull, stream);
    // Nothing else of ours, such as the drive's lock, may outlive us in it.
    ::syscall(SYS_close_range, 3U, ~0U, CLOSE_RANGE_CLOEXEC);
    if (::chdir(workingDir) == 0)
        ::execve(argv[0], argv.data(), environ);
    report(reportFd, kReportErrno, errno);
    ::_exit(127);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

ProcessStart startDetached(const DriveMap& drives, const QString& commandLine, const QString& workingDir)
{
    ProcessStart result;
    QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        result.error = QStringLiteral("the command line is empty");
        return result;
    }
    for (QString& word : words) {
        if (looksLikeDosPath(word))
            word = drives.toNative(word);
    }
    result.program = words.first();
    const QString reason = reasonNotStartable(result.program);
    if (!reason.isEmpty()) {
        result.error = reason;
        return result;
    }

    // Everything the children need is made before the fork.
    QList<QByteArray> encoded;
    for (const QString& word : words)
        encoded.append(QFile::encodeName(word));
    std::vector<char*> argv;
    for (QByteArray& word : encoded)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(QDir::toNativeSeparators(workingDir));
    const int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    int pipeFds[2];
    if (devNull < 0 || ::pipe2(pipeFds, O_CLOEXEC) != 0) {
        result.error = systemReason(errno);
        if (devNull >= 0)
            ::close(devNull);
        return result;
    }
    const pid_t goBetween = ::fork();
    if (goBetween == 0)
        runGoBetween(argv, dir.constData(), devNull, pipeFds[1]);
    const int forkError = errno;
    ::close(pipeFds[1]);
    ::close(devNull);
    if (goBetween < 0) {
        ::close(pipeFds[0]);
        result.error = systemReason(forkError);
        return result;
    }
    // Read while the go-between is our unreaped child, so its entry is there.
    const std::optional<ProcStat> leader = readStat(goBetween);
    while (::waitpid(goBetween, nullptr, 0) < 0 && errno == EINTR) {
    }
    qint64 processor = 0;
    int execError = 0;
    ChildReport message;
    for (;;) {
        const ssize_t got = ::read(pipeFds[0], &message, sizeof message);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != sizeof message)
            break;
        if (message.tag == kReportPid)
            processor = message.value;
        else
            execError = int(message.value);
    }
    ::close(pipeFds[0]);
    if (execError != 0 || processor <= 0) {
        result.error = systemReason(execError != 0 ? execError : ECHILD);
        return result;
    }
    result.job.pid = processor;
    result.job.identity = identityText({goBetween, leader ? leader->startTicks : 0, currentBootId()});
    return result;
}

bool BatchJob::isValid() const
{
    return pid > 0 && parseIdentity(identity).has_value();
}

bool jobRunning(const BatchJob& batchJob)
{
    if (batchJob.pid <= 0)
        return false;
    const std::optional<Identity> parsed = parseIdentity(batchJob.identity);
    if (!parsed)
        return false;
    const Identity& job = *parsed;
    if (!job.bootId.isEmpty() && job.bootId != currentBootId())
        return false;
    // The usual case while a stage runs: the batch processor itself.
    if (const std::optional<ProcStat> processor = readStat(batchJob.pid); processor && processor->session == job.session && living(*processor))
        return true;
    // The go-between ended at the start; whoever holds its number now came
    // after the whole job had ended.
    if (const std::optional<ProcStat> leader = readStat(job.session))
        return leader->startTicks == job.startTicks && living(*leader);
    // Wrappers that did not exec and children left behind keep the session.
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        const std::optional<ProcStat> stat = readStat(pid);
        if (stat && stat->session == job.session && living(*stat))
            return true;
    }
    return false;
}

qint64 jobGroup(const BatchJob& job)
{
    const std::optional<Identity> identity = job.pid > 0 ? parseIdentity(job.identity) : std::nullopt;
    return identity ? identity->session : 0;
}

void sendCloseRequest(const BatchJob& job)
{
    if (jobRunning(job))
        ::kill(-static_cast<pid_t>(jobGroup(job)), SIGTERM);
}

void forceEnd(const BatchJob& job)
{
    // jobRunning tells that the group is still this job's.
    if (jobRunning(job))
        ::kill(-static_cast<pid_t>(jobGroup(job)), SIGKILL);
}

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    const std::optional<ProcStat> stat = readStat(pid);
    return stat && living(*stat);
}

void adoptDetachedChildren()
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

QString ProcessEnd::text() const
{
    if (signal == 0)
        return QStringLiteral("exit status %1").arg(exitStatus);
    const char* name = ::sigabbrev_np(signal);
    return QStringLiteral("killed by signal %1").arg(signal) + (name ? QStringLiteral(" (SIG%1)").arg(QLatin1String(name)) : QString());
}

void ignoreFileSizeSignal()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

std::optional<ProcessEnd> collectExitStatus(qint64 pid, int waitMs)
{
    if (pid <= 0)
        return std::nullopt;
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        int status = 0;
        const pid_t ended = ::waitpid(static_cast<pid_t>(pid), &status, WNOHANG);
        if (ended == pid)
            return WIFEXITED(status) ? ProcessEnd{WEXITSTATUS(status), 0} : ProcessEnd{0, WTERMSIG(status)};
        if ((ended < 0 && errno != EINTR) || deadline.hasExpired())
            return std::nullopt;
        // The job has signalled its end; only its exit is still to come.
        QThread::msleep(5);
    }
}

} // namespace qelvrin
