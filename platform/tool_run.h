#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qelvrin {

// Another program run to its end and timed, as the benchmarks set standard
// tools beside ours.

struct ToolRun {
    int exitStatus = -1;      // the exit code, or -1 when it did not start or exit normally
    double seconds = 0;       // from the start to the end of the process
    double firstLineSeconds = -1; // from the start to its first complete output line
    QByteArray output;        // what it wrote to stdout (empty when discarded)
    bool timedOut = false;
};

struct ToolOptions {
    // Extra "NAME=value" entries on top of this process's environment.
    QStringList environment;
    // Standard output to /dev/null instead of a pipe, as `tool > /dev/null`.
    bool discardOutput = false;
    // Standard error to /dev/null instead of this program's.
    bool discardErrors = false;
    // With a pipe: seconds after which the process is killed; 0 waits for ever.
    double timeoutSeconds = 0;
};

// Starts `argv` (the program looked up on PATH unless it has a slash),
// without a shell, stdin from /dev/null, stderr inherited, and waits for it.
ToolRun runTool(const QStringList& argv, const ToolOptions& options = {});

// True when `program` is an executable on PATH.
bool toolInstalled(const QString& program);

} // namespace qelvrin
