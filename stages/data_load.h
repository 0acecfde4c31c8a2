#pragma once

#include <QString>

namespace qelvrin {

class DriveMap;
class StageHost;
class StageRunner;

// Names derived from the chosen SDG file's DOS path.
struct SdgNames {
    QString SdgName;        // 6 characters, blank-padded
    QString SdgFilePrefix;  // upper-cased, up to the character after the file name's first dot
    QString filePattern;    // the prefix's file-name part + "??": the SDG's files beside the chosen one
    bool accepted = false;  // the "MI" test
    bool diskette = false;  // chosen from A: or B:
};

SdgNames deriveSdgNames(const QString& dosPath);

// mnuRLoadDataProgram_Click: purge, choose and copy the SDG files diskette by
// diskette, then start the Data Load stage. True when the stage was started;
// false when the command ended without it (reported to the operator).
bool runDataLoadCommand(const DriveMap& drives, StageHost& host, StageRunner& runner);

} // namespace qelvrin
