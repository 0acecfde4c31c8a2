#include "platform/folder_watch.h"

namespace qelvrin {

FolderWatch::FolderWatch(const QString& folder, QObject* parent) : QObject(parent)
{
    // A folder that cannot be watched (gone, or the system's watch limit
    // reached) only costs the quick notice; the caller's poll still sees it.
    m_watcher.addPath(folder);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderWatch::changed);
}

} // namespace qelvrin
