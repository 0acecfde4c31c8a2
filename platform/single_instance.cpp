#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin {

namespace {

// The per-user runtime directory. Started from cron, a Slurm job or `su -`
// there is no XDG_RUNTIME_DIR, and asking Qt then prints a warning; so the
// folder is picked here: the login session's /run/user/<uid> when it is ours
// (a desktop session on the same machine locks there too), else a private
// folder in the temporary directory.
QString runtimeDir()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const uid_t uid = ::getuid();
    const QFileInfo session(QStringLiteral("/run/user/%1").arg(uid));
    if (session.isDir() && session.isWritable() && session.ownerId() == uid)
        return session.filePath();
    const QString own = QDir::tempPath() + QStringLiteral("/qelvrin-%1").arg(uid);
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    const QFileInfo ownInfo(own);
    // A folder of that name that someone else made is not used.
    if (ownInfo.isDir() && ownInfo.ownerId() == uid && ownInfo.isWritable())
        return own;
    return QDir::tempPath();
}

QString canonicalDrive(const QString& driveRoot)
{
    const QFileInfo info(driveRoot);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& driveRoot)
{
    const QByteArray key = QCryptographicHash::hash(canonicalDrive(driveRoot).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_path = runtimeDir() + QStringLiteral("/qelvrin-") + QString::fromLatin1(key) + QStringLiteral(".lock");
}

bool SingleInstanceGuard::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    m_lock = std::make_unique<QLockFile>(m_path);
    // A lock whose holder is gone is taken over at once; a live one never.
    m_lock->setStaleLockTime(0);
    return m_lock->tryLock(0);
}

} // namespace qelvrin
