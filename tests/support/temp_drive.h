#pragma once

#include "platform/drive_map.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace qelvrin::testing {

// A fresh drive in a temporary directory, with \QELVRIN\ and optional
// diskette folders A: and B:. Removed with the object.
class TempDrive {
public:
    TempDrive();

    const DriveMap& drives() const { return m_drives; }
    QString root() const { return m_dir.path() + QStringLiteral("/C"); }
    QString diskA() const { return m_dir.path() + QStringLiteral("/A"); }
    QString diskB() const { return m_dir.path() + QStringLiteral("/B"); }

    // Native path of a DOS path on this drive.
    QString native(const QString& dosPath) const { return m_drives.toNative(dosPath); }
    void write(const QString& dosPath, const QByteArray& bytes) const;
    QByteArray read(const QString& dosPath) const;
    bool exists(const QString& dosPath) const;

private:
    QTemporaryDir m_dir;
    DriveMap m_drives;
};

} // namespace qelvrin::testing
