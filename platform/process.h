#pragma once

#include <QString>

namespace qelvrin {

class DriveMap;

struct ProcessStart {
    qint64 pid = 0;    // 0 when the start failed
    QString program;   // native path of the program tried
    QString error;     // why it failed
};

// Starts a DOS command line detached, never through a shell: split on blanks,
// program and DOS-path arguments through the drive map, standard streams to
// the null device, working directory `workingDir`.
ProcessStart startDetached(const DriveMap& drives, const QString& commandLine, const QString& workingDir);

// The close request to a started batch run.
void sendCloseRequest(qint64 pid);

// True while the process exists and is not a zombie.
bool processAlive(qint64 pid);

} // namespace qelvrin
