#include "app/startup.h"

#include "dialogs/dialogs.h"
#include "platform/drive_map.h"
#include "platform/job_end.h"
#include "stages/run_marker.h"
#include "platform/single_instance.h"
#include "stages/job_guard.h"
#include "stages/stage_table.h"

#include <QFileInfo>

namespace qelvrin {

QString unreadableMarkerMessage(const DriveMap& drives)
{
    const QString markerPath = marker::nativePath(drives);
    QString reason;
    marker::readValue(markerPath, &reason);
    if (reason.isEmpty())
        return {};
    return QStringLiteral("The run marker could not be read: ") + drives.toDos(markerPath) + QStringLiteral(" (") + reason
         + QStringLiteral(")");
}

QString endEarlierJobQuestion(qint64 processGroup)
{
    return QStringLiteral("The batch job started earlier on this drive is still running (process group %1). "
                          "Nothing can run on the drive until it has ended.\r\r"
                          "Do you want to end it now? [If you select No, QELVRIN ends]")
        .arg(processGroup);
}

namespace {

// Missing, not a folder, or not to be entered: no marker, lock or output
// can be there, and set-up has already said which directory it is.
bool installFolderUsable(const DriveMap& drives)
{
    const QFileInfo folder(drives.installDir());
    return folder.isDir() && folder.isExecutable();
}

// The earlier job ended on the operator's word, or the refusal told.
bool endEarlierJob(const BatchJob& job, Dialogs& dialogs, const StartupCommands& commands)
{
    if (commands.setBusy) {
        if (dialogs.message({endEarlierJobQuestion(jobGroup(job)), MsgIcon::Question, MsgButtons::YesNo, kApplicationTitle}) != Answer::Yes)
            return false;
        commands.setBusy(true);
        const bool ended = endJob(job, kEarlierJobGraceMs);
        commands.setBusy(false);
        if (ended)
            return true;
    }
    dialogs.message({runningJobMessage(job), MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle});
    return false;
}

} // namespace

bool runStartup(const DriveMap& drives, SingleInstanceGuard& guard, Dialogs& dialogs, const StartupCommands& commands)
{
    if (commands.setBusy && !installFolderUsable(drives)) {
        commands.refreshStageCommands();
        return true;
    }
    const QString markerPath = marker::nativePath(drives);
    // Before the single-copy test, so a second copy may create a missing
    // marker but never changes one that exists.
    if (!QFileInfo::exists(markerPath))
        marker::write(markerPath, QLatin1String(marker::kNormal));

    if (!guard.tryAcquire()) {
        const QString why = guard.error().isEmpty() ? QLatin1String(kSecondCopyMessage)
                                                    : QStringLiteral("The drive's lock file %1 cannot be used (%2)").arg(drives.toDos(guard.lockPath()), guard.error());
        dialogs.message({why, MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle});
        return false;
    }
    // Before the purge, which would pull the files from under it.
    if (const std::optional<BatchJob> earlier = runningJob(drives); earlier && !endEarlierJob(*earlier, dialogs, commands))
        return false;

    // Whether the last run ended cleanly is unknown then: the outputs go, as
    // after an unclean end, but not without a word.
    const QString unreadable = unreadableMarkerMessage(drives);
    if (!unreadable.isEmpty())
        dialogs.message({unreadable, MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle});
    if (!marker::holdsNormal(markerPath))
        commands.purgeStageData();
    marker::write(markerPath, QStringLiteral("ABNORMAL"));
    commands.refreshStageCommands();
    return true;
}

} // namespace qelvrin
