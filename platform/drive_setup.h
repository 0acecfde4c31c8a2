#pragma once

#include <QString>

namespace qelvrin {

class DriveMap;

struct DriveSetupResult {
    bool ok = true;
    QString unusableDir;  // native directory that could not be written
    QString error;        // one sentence for the operator
};

// Where the stand-in batch processor is: $QELVRIN_STANDIN, else beside the
// program, else in ../lib/qelvrin; empty when none of them is a file.
QString findStandIn();

// Lays the drive out as an installation would: \QELVRIN\ with PCVQS.INI and
// the three stage programs, \SAS\SAS.EXE as a copy of `standInPath`.
// Files already there are kept.
DriveSetupResult setUpDrive(const DriveMap& drives, const QString& standInPath);

// setUpDrive, only when \QELVRIN\ does not exist yet.
DriveSetupResult setUpDriveIfNew(const DriveMap& drives, const QString& standInPath);

} // namespace qelvrin
