#include "platform/folder_trust.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin::files {

QString untrustedFolder(const QString& nativeDir, bool root)
{
    struct stat info {};
    if (::stat(QFile::encodeName(nativeDir).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {};
    const bool othersWrite = (info.st_mode & S_IWOTH) != 0;
    const bool sticky = (info.st_mode & S_ISVTX) != 0;
    if (root ? othersWrite && !sticky : othersWrite)
        return QStringLiteral("The folder %1 can be written by every user, who could plant links there for the batch processor to "
                              "follow; nothing runs on this drive until it is closed to them (chmod o-w %1).")
            .arg(nativeDir);
    if (!root && info.st_uid != ::geteuid() && info.st_uid != 0)
        return QStringLiteral("The folder %1 belongs to another user (uid %2), who could plant links there for the batch processor "
                              "to follow; nothing runs on this drive until it is yours or root's and closed to others "
                              "(chown, then chmod o-w %1).")
            .arg(nativeDir)
            .arg(info.st_uid);
    return {};
}

} // namespace qelvrin::files
