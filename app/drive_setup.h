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
// Entries already there, in any letter case, are kept (a site's own batch
// processor, a link that leads nowhere, the operator's pcvqs.ini), and only
// the missing pieces are written, each complete or not at all: every start
// runs it, so a set-up that a full disk cut short is completed later. The
// settings file comes first; once a stage program is there, a missing
// settings file was removed on purpose and stays missing.
DriveSetupResult setUpDrive(const DriveMap& drives, const QString& standInPath);

} // namespace qelvrin
