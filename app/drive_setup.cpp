#include "app/drive_setup.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "stages/stage_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace qelvrin {

namespace {

const QByteArray kSettings = "ViewFontName = Courier New\r\n"
                             "ViewFontSize = 10\r\n"
                             "ViewFontBold = False\r\n"
                             "ViewFontItalic = False\r\n";

// "SDEFECT.TXT" of "\QELVRIN\SDEFECT.TXT".
QString fileNameOf(const QString& drivePath)
{
    return drivePath.mid(drivePath.lastIndexOf(QLatin1Char('\\')) + 1);
}

// The placeholder each stage's program gets on a drive laid out afresh; its
// words follow from the stage's row, so a new stage gets one too.
QByteArray stageProgramText(const StageInfo& stage)
{
    const QString purpose = stage.role == StageRole::LoadsData
                                ? QStringLiteral("reads the loaded SDG data file %1 and checks its records").arg(fileNameOf(kDataFilePath))
                                : QStringLiteral("runs the %1 and prints the defect report %2").arg(stage.controls.labelCaption, fileNameOf(stage.reportPath));
    return QByteArray("/* ") + stage.sasProgram.toLatin1() + " */\r\n"
         + "/* Stage program for the batch processor: " + purpose.toLatin1() + ". */\r\n";
}

DriveSetupResult failure(const QString& dir, const QString& reason)
{
    return {false, dir, QStringLiteral("The directory %1 cannot be used: %2.").arg(QDir::toNativeSeparators(dir), reason)};
}

// Any entry of that name in `dir`, in whatever case: the operator's own
// spelling of a file counts as the file.
bool present(const QString& dir, const QString& name)
{
    return !files::findNoCase(dir, name).isEmpty();
}

// Writes `bytes` unless an entry of that name is there already.
bool writeNew(const QString& dir, const QString& name, const QByteArray& bytes, QString* reason, unsigned mode = 0)
{
    return present(dir, name) || files::replaceContents(dir + QLatin1Char('/') + name, bytes, reason, mode);
}

bool copyExecutable(const QString& from, const QString& dir, const QString& name, QString* reason)
{
    if (present(dir, name))
        return true;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *reason = source.errorString();
        return false;
    }
    const QByteArray program = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        *reason = source.errorString();
        return false;
    }
    return writeNew(dir, name, program, reason, 0755);
}

bool makeDir(const QString& path, QString* reason)
{
    if (QFileInfo(path).isDir())
        return true;
    if (QFileInfo::exists(path)) {
        *reason = QStringLiteral("a file of that name is in the way");
        return false;
    }
    if (!QDir().mkpath(path)) {
        *reason = QStringLiteral("it cannot be created");
        return false;
    }
    return true;
}

} // namespace

QString findStandIn()
{
    const QString fromEnvironment = qEnvironmentVariable("QELVRIN_STANDIN");
    if (!fromEnvironment.isEmpty())
        return QFileInfo(fromEnvironment).isFile() ? fromEnvironment : QString();
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {appDir + QStringLiteral("/qelvrin-sas"), appDir + QStringLiteral("/../lib/qelvrin/qelvrin-sas")}) {
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    }
    return {};
}

DriveSetupResult setUpDrive(const DriveMap& drives, const QString& standInPath)
{
    QString reason;
    const QString installDir = drives.installDir();
    if (!makeDir(installDir, &reason))
        return failure(installDir, reason);
    // The settings file is laid out before the stage programs: with any of
    // them there, it was laid out once, and the operator has removed it
    // since. It is not brought back; the viewer then says it is missing.
    const bool settingsLaidOut = std::any_of(stageTable().begin(), stageTable().end(),
                                             [&](const StageInfo& stage) { return present(installDir, stage.sasProgram); });
    if (!settingsLaidOut && !writeNew(installDir, QStringLiteral("PCVQS.INI"), kSettings, &reason))
        return failure(installDir, reason);
    for (const StageInfo& stage : stageTable()) {
        if (!writeNew(installDir, stage.sasProgram, stageProgramText(stage), &reason))
            return failure(installDir, reason);
    }

    const QString sasDir = drives.toNative(QStringLiteral("\\SAS"));
    if (!makeDir(sasDir, &reason))
        return failure(sasDir, reason);
    const QString batchProcessor = QStringLiteral("SAS.EXE");
    if (present(sasDir, batchProcessor))
        return {};
    if (standInPath.isEmpty() || !QFileInfo(standInPath).isFile())
        return failure(sasDir, QStringLiteral("the stand-in batch processor to copy into it was not found"));
    if (!copyExecutable(standInPath, sasDir, batchProcessor, &reason))
        return failure(sasDir, reason);
    return {};
}

} // namespace qelvrin
