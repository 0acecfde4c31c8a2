#pragma once

#include <QString>
#include <QStringList>

namespace qelvrin {
class DriveMap;
}

namespace qelvrin::batch {

// The SDG files of the command line, checked before anything is purged.
struct SdgFiles {
    QStringList nativePaths; // the SDG file, then one file per further diskette
    QString sdgName;         // as the data load reads it; empty when its name rules refuse the first file
    QString error;           // set when a file cannot serve: nothing may run then
    QString errorCode;       // missing-file or bad-sdg-name, with the error
};

// Each file must exist; each further file must name the first file's SDG and
// lie in a folder of its own, or its diskette would bring nothing, another
// SDG's lines or the same lines twice into the data file. A first file the
// name rules refuse is left to the data load, which says so itself.
SdgFiles checkSdgFiles(const DriveMap& drives, const QStringList& given);

// Native path of an SDG file argument: a DOS path names a file on one of
// our drives, anything else is native.
QString nativeSdgPath(const DriveMap& drives, const QString& given);

} // namespace qelvrin::batch
