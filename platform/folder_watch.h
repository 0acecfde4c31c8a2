#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

namespace qelvrin {

// Tells when entries appear in or vanish from a folder, as soon as the system
// reports it. A file system that reports nothing (NFS, for changes made on
// another machine) leaves it silent, so whoever relies on it keeps a poll.
class FolderWatch : public QObject {
    Q_OBJECT

public:
    explicit FolderWatch(const QString& folder, QObject* parent = nullptr);

Q_SIGNALS:
    void changed();

private:
    QFileSystemWatcher m_watcher;
};

} // namespace qelvrin
