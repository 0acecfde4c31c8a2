#include "stages/end_signal.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFileInfo>

namespace qelvrin {

namespace {

QFileInfo signalLocation(const DriveMap& drives)
{
    return QFileInfo(drives.toNative(kSignalPath));
}

} // namespace

bool endSignalPresent(const DriveMap& drives)
{
    const QFileInfo signal = signalLocation(drives);
    return !files::listMatching(signal.path(), signal.fileName()).isEmpty();
}

std::optional<EndSignalLeft> removeEndSignal(const DriveMap& drives)
{
    const QFileInfo signal = signalLocation(drives);
    const QDir dir(signal.path());
    // A folder of that name is named too: nothing could signal beside it.
    for (const files::EntryName& name : files::listMatching(dir.path(), signal.fileName(), nullptr, true)) {
        const QString path = dir.filePath(name.text);
        QString reason;
        if (!files::remove(path, &reason))
            return EndSignalLeft{path, reason};
    }
    // Looked for again: the stage starts only on a drive without one.
    if (endSignalPresent(drives))
        return EndSignalLeft{signal.filePath(), QStringLiteral("it is still there")};
    return std::nullopt;
}

} // namespace qelvrin
