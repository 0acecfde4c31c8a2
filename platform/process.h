#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qelvrin {

class DriveMap;

// A started batch run: the batch processor and everything it starts, which
// share a session (and process group) of their own. The session's leader is
// a go-between that ends at once, so the number stays taken only while a
// process of the job lives; its start time tells a later holder of the
// number apart.
struct BatchJob {
    qint64 pid = 0;          // the batch processor
    qint64 session = 0;      // session and process group of the job
    quint64 startTicks = 0;  // the session leader's start, clock ticks after boot
    QByteArray bootId;       // a job of an earlier boot has ended
    bool isValid() const { return pid > 0 && session > 0; }
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

// The close request to a started batch run: SIGTERM to every process of its
// group, wrappers and the children they left behind included.
void sendCloseRequest(const BatchJob& job);

// True while any process of the job lives (zombies do not count).
bool jobRunning(const BatchJob& job);

// True while the process exists and is not a zombie.
bool processAlive(qint64 pid);

// The job as one text line, and back; nullopt for text that is not one.
QByteArray jobRecord(const BatchJob& job);
std::optional<BatchJob> parseJobRecord(QByteArrayView text);

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
