#include "temp_drive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qelvrin::testing {

TempDrive::TempDrive()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("C/QELVRIN"));
    QDir(m_dir.path()).mkpath(QStringLiteral("A"));
    QDir(m_dir.path()).mkpath(QStringLiteral("B"));
    m_drives = DriveMap(root(), diskA(), diskB());
}

void TempDrive::write(const QString& dosPath, const QByteArray& bytes) const
{
    const QString path = native(dosPath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("TempDrive: cannot write %s", qPrintable(path));
}

QByteArray TempDrive::read(const QString& dosPath) const
{
    QFile file(native(dosPath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool TempDrive::exists(const QString& dosPath) const
{
    return QFileInfo(native(dosPath)).isFile();
}

} // namespace qelvrin::testing
