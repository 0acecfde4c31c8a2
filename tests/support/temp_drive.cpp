#include "temp_drive.h"

#include "stages/stage_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QFileDevice::Permissions kExecutable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

} // namespace

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

void TempDrive::writeInstalled(const QStringList& names, const QByteArray& bytes) const
{
    for (const QString& name : names)
        write(kInstallDir + name, bytes);
}

int TempDrive::countInstalled(const QStringList& names) const
{
    int count = 0;
    for (const QString& name : names)
        count += exists(kInstallDir + name) ? 1 : 0;
    return count;
}

void TempDrive::installBatchProcessor(const QByteArray& script) const
{
    write(kBatchProcessorPath, "#!/bin/sh\n" + script);
    QFile::setPermissions(native(kBatchProcessorPath), kExecutable);
}

bool TempDrive::installStandIn() const
{
    const QString standIn = qEnvironmentVariable("QELVRIN_STANDIN");
    if (standIn.isEmpty() || !QFile::exists(standIn))
        return false;
    write(kBatchProcessorPath, QByteArray());
    const QString target = native(kBatchProcessorPath);
    QFile::remove(target);
    return QFile::copy(standIn, target) && QFile::setPermissions(target, kExecutable);
}

} // namespace qelvrin::testing
