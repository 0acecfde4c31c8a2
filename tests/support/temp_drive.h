#pragma once

#include "platform/drive_map.h"
#include "stages/stage_table.h"
#include "support/file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>

namespace qelvrin::testing {

// The six stage outputs, as named in \QELVRIN\.
inline const QStringList kStageOutputNames{"QELVDATA",     "SDEFECT.TXT",  "TDEFECT.TXT",
                                           "DLOADJCL.LOG", "IASMTJCL.LOG", "FASMTJCL.LOG"};

// The settings file as the drive set-up lays it out.
inline const QByteArray kInstalledFont =
    "ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n";

// A fresh drive in a temporary directory, with \QELVRIN\ and the diskette
// folders A: and B:. Removed with the object.
class TempDrive {
public:
    TempDrive()
    {
        for (const char* dir : {"C/QELVRIN", "A", "B"})
            QDir(m_dir.path()).mkpath(QLatin1String(dir));
    }

    const DriveMap& drives() const { return m_drives; }
    QString root() const { return m_dir.path() + QStringLiteral("/C"); }
    QString diskA() const { return m_dir.path() + QStringLiteral("/A"); }
    QString diskB() const { return m_dir.path() + QStringLiteral("/B"); }

    // Native path of a DOS path on this drive.
    QString native(const QString& dosPath) const { return m_drives.toNative(dosPath); }
    void write(const QString& dosPath, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(native(dosPath)).path());
        writeFile(native(dosPath), bytes);
    }
    QByteArray read(const QString& dosPath) const { return readFile(native(dosPath)); }
    bool exists(const QString& dosPath) const { return QFileInfo(native(dosPath)).isFile(); }

    // Files in \QELVRIN\ by name.
    void writeInstalled(const QStringList& names, const QByteArray& bytes = "x\r\n") const
    {
        for (const QString& name : names)
            write(kInstallDir + name, bytes);
    }
    int countInstalled(const QStringList& names) const
    {
        return int(std::count_if(names.begin(), names.end(), [this](const QString& name) { return exists(kInstallDir + name); }));
    }

    // A shell script as the batch processor at \SAS\SAS.EXE.
    void installBatchProcessor(const QByteArray& script) const
    {
        write(kBatchProcessorPath, "#!/bin/sh\n" + script);
        QFile::setPermissions(native(kBatchProcessorPath), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

private:
    QTemporaryDir m_dir;
    DriveMap m_drives{root(), diskA(), diskB()};
};

} // namespace qelvrin::testing
