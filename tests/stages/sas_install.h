#pragma once

#include "stages/stage_table.h"
#include "support/temp_drive.h"

#include <QFile>

namespace qelvrin::testing {

// Puts a batch processor at \SAS\SAS.EXE that ends at once and writes nothing,
// for tests that drive the monitor's ticks by hand.
inline void installQuietBatchProcessor(const TempDrive& drive)
{
    drive.write(kBatchProcessorPath, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(drive.native(kBatchProcessorPath), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Copies the stand-in built with the project to \SAS\SAS.EXE; false when the
// build has none.
inline bool installStandIn(const TempDrive& drive)
{
    const QString standIn = qEnvironmentVariable("QELVRIN_STANDIN");
    if (standIn.isEmpty() || !QFile::exists(standIn))
        return false;
    drive.write(kBatchProcessorPath, QByteArray());
    const QString target = drive.native(kBatchProcessorPath);
    QFile::remove(target);
    return QFile::copy(standIn, target)
        && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace qelvrin::testing
