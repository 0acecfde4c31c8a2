#pragma once

#include "platform/drive_map.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qelvrin::testing {

// The six stage outputs, as named in \QELVRIN\.
inline const QStringList kStageOutputNames{"QELVDATA",     "SDEFECT.TXT",  "TDEFECT.TXT",
                                           "DLOADJCL.LOG", "IASMTJCL.LOG", "FASMTJCL.LOG"};

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
    // Files in \QELVRIN\ by name.
    void writeInstalled(const QStringList& names, const QByteArray& bytes = "x\r\n") const;
    int countInstalled(const QStringList& names) const;

    // A shell script as the batch processor at \SAS\SAS.EXE.
    void installBatchProcessor(const QByteArray& script) const;
    // The stand-in built with the project as the batch processor; false when
    // the build has none.
    bool installStandIn() const;

private:
    QTemporaryDir m_dir;
    DriveMap m_drives;
};

} // namespace qelvrin::testing
