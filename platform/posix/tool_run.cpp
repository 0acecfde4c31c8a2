#include "platform/tool_run.h"

#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

extern char** environ;

namespace qelvrin {

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Owned copies of the strings and the null-terminated pointer list execve wants.
class CStrings {
public:
    explicit CStrings(const QList<QByteArray>& strings)
        : m_strings(strings)
    {
        for (QByteArray& s : m_strings)
            m_pointers.push_back(s.data());
        m_pointers.push_back(nullptr);
    }
    char* const* data() { return m_pointers.data(); }

private:
    QList<QByteArray> m_strings;
    std::vector<char*> m_pointers;
};

QList<QByteArray> environmentWith(const QStringList& extra)
{
    QList<QByteArray> entries;
    for (const QString& entry : extra)
        entries.append(entry.toLocal8Bit());
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        const QByteArray name = entry.left(entry.indexOf('=') + 1);
        bool overridden = false;
        for (const QByteArray& mine : std::as_const(entries))
            overridden = overridden || mine.startsWith(name);
        if (!overridden)
            entries.append(entry);
    }
    return entries;
}

int waitExit(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ToolRun runTool(const QStringList& argv, const ToolOptions& options)
{
    ToolRun result;
    QList<QByteArray> args;
    for (const QString& arg : argv)
        args.append(arg.toLocal8Bit());
    CStrings argList(args);
    CStrings envList(environmentWith(options.environment));

    int pipeEnds[2] = {-1, -1};
    if (!options.discardOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (options.discardOutput)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    else
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    if (options.discardErrors)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int failed = ::posix_spawnp(&pid, args.first().constData(), &actions, nullptr, argList.data(), envList.data());
    posix_spawn_file_actions_destroy(&actions);
    if (!options.discardOutput)
        ::close(pipeEnds[1]);
    if (failed != 0) {
        if (!options.discardOutput)
            ::close(pipeEnds[0]);
        return result;
    }

    if (!options.discardOutput) {
        char chunk[4096];
        for (;;) {
            if (options.timeoutSeconds > 0) {
                const double left = options.timeoutSeconds - secondsSince(start);
                pollfd wait{pipeEnds[0], POLLIN, 0};
                const int ready = left > 0 ? ::poll(&wait, 1, int(left * 1000) + 1) : 0;
                if (ready < 0 && errno == EINTR)
                    continue;
                if (ready == 0) {
                    result.timedOut = true;
                    ::kill(pid, SIGKILL);
                    break;
                }
            }
            const ssize_t got = ::read(pipeEnds[0], chunk, sizeof chunk);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            result.output.append(chunk, got);
            if (result.firstLineSeconds < 0 && result.output.contains('\n'))
                result.firstLineSeconds = secondsSince(start);
        }
        ::close(pipeEnds[0]);
    }
    result.exitStatus = waitExit(pid);
    result.seconds = secondsSince(start);
    return result;
}

bool toolInstalled(const QString& program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

} // namespace qelvrin
