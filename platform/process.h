#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace qelvrin {

class DriveMap;

// A started batch run: the batch processor and everything it starts, which
// the system keeps together as one job. `identity` tells this job apart from
// whatever later takes its numbers; it is one line of printable text, so it
// can be kept in a file, and only the platform reads it.
struct BatchJob {
    qint64 pid = 0;       // the batch processor
    QByteArray identity;
    bool isValid() const;
};

struct ProcessStart {
    BatchJob job;      // invalid when the start failed
    QString program;   // native path of the program tried
    QString error;     // why it failed
};

// Starts a DOS command line detached in a session of its own, never through
// a shell: split on blanks, program and DOS-path arguments through the drive
// map, standard streams to the null device, working directory `workingDir`.
ProcessStart startDetached(const DriveMap& drives, const QString& commandLine, const QString& workingDir);

// The close request to a started batch run: to every process of it,
// wrappers and the children they left behind included.
void sendCloseRequest(const BatchJob& job);

// Ends every process of the job at once, leaving it no chance to tidy up.
void forceEnd(const BatchJob& job);

// The number by which the operator names the whole job to the system, to
// end it from a shell; 0 for a job that is not valid.
qint64 jobGroup(const BatchJob& job);

// True while any process of the job lives (zombies do not count).
bool jobRunning(const BatchJob& job);

// True while the process exists and is not a zombie.
bool processAlive(qint64 pid);

// Makes this process the parent of the batch runs it starts detached (they
// would pass to init), so that their exit status can be read.
void adoptDetachedChildren();

// How an adopted batch run ended: its exit status, or the signal that
// ended it.
struct ProcessEnd {
    int exitStatus = 0;
    int signal = 0;  // 0 when it exited
    // Batch processors exit 0 for success, 1 for warnings only, 2 or more
    // for errors.
    bool failed() const { return signal != 0 || exitStatus >= 2; }
    QString text() const;
};

// How an adopted batch run ended, once it has, waiting at most `waitMs` for
// the end; none when it is not known (still running, or not ours).
std::optional<ProcessEnd> collectExitStatus(qint64 pid, int waitMs);

// Lets a write beyond the file-size limit fail with its reason (File too
// large) instead of killing the program half-way through a copy.
void ignoreFileSizeSignal();

} // namespace qelvrin
