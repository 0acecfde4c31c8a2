#include "app/batch/sdg_files.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "platform/regular_open.h"
#include "stages/data_load.h"

#include <QFileInfo>

namespace qelvrin::batch {

QString nativeSdgPath(const DriveMap& drives, const QString& given)
{
    const bool dos = given.startsWith(QLatin1Char('\\')) || (given.size() >= 2 && given.at(1) == QLatin1Char(':'));
    return dos ? drives.toNative(given) : QFileInfo(given).absoluteFilePath();
}

SdgFiles checkSdgFiles(const DriveMap& drives, const QStringList& given)
{
    SdgFiles files;
    QStringList folders;
    SdgNames first;
    for (const QString& file : given) {
        const QString native = nativeSdgPath(drives, file);
        const QFileInfo info(native);
        if (!info.isFile()) {
            const bool exists = files::entryExists(native);
            files.error = exists ? QStringLiteral("The SDG file could not be read: %1 (%2)").arg(file, QLatin1String(files::kNotRegular))
                                 : QStringLiteral("cannot find the SDG file %1").arg(file);
            files.errorCode = exists ? QStringLiteral("not-regular-file") : QStringLiteral("missing-file");
            return files;
        }
        const SdgNames names = deriveSdgNames(drives.toDos(native));
        if (files.nativePaths.isEmpty()) {
            first = names;
        } else if (first.accepted && names.filePattern != first.filePattern) {
            files.errorCode = QStringLiteral("bad-sdg-name");
            files.error = names.accepted
                              ? QStringLiteral("the next diskette's file %1 belongs to the SDG %2, not to %3")
                                    .arg(file, names.SdgName.trimmed(), first.SdgName.trimmed())
                              : QStringLiteral("the next diskette's file %1 does not fit the SDG's pattern %2").arg(file, first.filePattern);
            return files;
        } else if (folders.contains(info.canonicalPath())) {
            files.errorCode = QStringLiteral("diskette-folder-repeated");
            files.error = QStringLiteral("the next diskette's file %1 lies in a folder already loaded").arg(file);
            return files;
        }
        folders.append(info.canonicalPath());
        files.nativePaths.append(native);
    }
    if (first.accepted)
        files.sdgName = first.SdgName.trimmed();
    return files;
}

} // namespace qelvrin::batch
