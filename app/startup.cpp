#include "app/startup.h"

#include "platform/dialogs.h"
#include "platform/drive_map.h"
#include "platform/run_marker.h"
#include "platform/single_instance.h"
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
        dialogs.message({QLatin1String(kSecondCopyMessage), MsgIcon::Exclamation, MsgButtons::Ok, kApplicationTitle});
        return false;
    }

    if (!marker::holdsNormal(markerPath))
        commands.purgeStageData();
    marker::write(markerPath, QStringLiteral("ABNORMAL"));
    commands.refreshStageCommands();
    return true;
}

} // namespace qelvrin
