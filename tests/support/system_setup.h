#pragma once

#include <QFile>
#include <QString>

#include <csignal>
#include <sys/stat.h>

// What a test does to the system itself and the program never does: a FIFO
// in a file's place, an operator's Ctrl-C.
namespace qelvrin::testing::os {

inline bool makeFifo(const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }
inline bool interrupt(qint64 pid) { return ::kill(pid_t(pid), SIGINT) == 0; }

} // namespace qelvrin::testing::os
