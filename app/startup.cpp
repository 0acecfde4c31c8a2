#include "app/startup.h"

#include "platform/dialogs.h"
#include "platform/drive_map.h"
#include "platform/run_marker.h"
#include "platform/single_instance.h"
#include "stages/job_guard.h"
#include "stages/stage_table.h"

#include <QFileInfo>

namespace qelvrin {

bool runStartup(const DriveMap& drives, SingleInstanceGuard& guard, Dialogs& dialogs, const StartupCommands& commands)
{
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
    if (const std::optional<BatchJob> earlier = runningJob(drives)) {
        dialogs.message({runningJobMessage(*earlier), MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle});
        return false;
    }

    if (!marker::holdsNormal(markerPath))
        commands.purgeStageData();
    marker::write(markerPath, QStringLiteral("ABNORMAL"));
    commands.refreshStageCommands();
    return true;
}

} // namespace qelvrin
