#include "platform/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qelvrin {

namespace {

QString runtimeDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
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
