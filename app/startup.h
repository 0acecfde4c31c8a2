#pragma once

#include <QString>

#include <functional>

namespace qelvrin {

class Dialogs;
class DriveMap;
class SingleInstanceGuard;

inline constexpr char kSecondCopyMessage[] = "Cannot start more than one copy of the application";

// The one-copy lock of the drive.
inline const QString kLockPath = QStringLiteral("\\QELVRIN\\QELVRIN.LCK");

// What the start-up sequence does to the window's commands.
struct StartupCommands {
    std::function<void()> purgeStageData;
    std::function<void()> refreshStageCommands;
    // Set by the window, which must never lock the operator out: it offers
    // to end an earlier batch job that still runs (busy pointer while it
    // ends), and opens on an install folder that cannot be used, which has
    // nothing to guard. Unset (the batch runner), both are refused.
    std::function<void(bool busy)> setBusy = {};
};

// The question when an earlier job still runs; Yes ends it.
QString endEarlierJobQuestion(qint64 processGroup);

// How long the close request has before the job is killed.
inline constexpr int kEarlierJobGraceMs = 5000;

// The message for a run marker that is there but cannot be read, naming it
// and the reason; empty when it can be read (or is absent).
QString unreadableMarkerMessage(const DriveMap& drives);

// Form_Load: creates a missing run marker, refuses a second copy or a drive
// where an earlier batch job still runs and is not ended (message, then
// false: the copy must end without showing a window), purges after an
// unclean end, marks the run as active and enables what the outputs allow.
// A drive that cannot be read or written does not stop it; a marker that
// cannot be read is told, and counts as an unclean end.
bool runStartup(const DriveMap& drives, SingleInstanceGuard& guard, Dialogs& dialogs, const StartupCommands& commands);

} // namespace qelvrin
