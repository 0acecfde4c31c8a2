#include "stages/data_load.h"

#include "dialogs/dialogs.h"
#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "stages/sdg_copy.h"
#include "stages/stage_host.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QFileInfo>

namespace qelvrin {

namespace {

const QString kIdleCaption = QStringLiteral("Inorganic Quorvane ");
// The file-open flag that restores the process's current directory.
constexpr unsigned kNoChangeDir = 8;

QString chooseSdgFile(StageHost& host)
{
    return host.dialogs().openFile({QStringLiteral("Select SDG"), QStringLiteral("SDG Files ") + QStringLiteral("(*.i01)|*.i01|"),
                                    kNoChangeDir, QString()});
}

void endWithoutStage(StageHost& host, const QString& message)
{
    if (!message.isEmpty())
        host.dialogs().message({message, MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
    host.setCaption(kIdleCaption);
    host.setBusy(false);
    host.setWindowEnabled(true);
}

QString copyFailureMessage(const DriveMap& drives, const SdgCopyFailure& failure)
{
    const QString what = failure.whileWriting ? QStringLiteral("The data file could not be written: ")
                                              : QStringLiteral("The SDG file could not be read: ");
    return what + drives.toDos(failure.nativePath) + QStringLiteral(" (") + failure.reason + QStringLiteral(")");
}

} // namespace

bool runDataLoadCommand(const DriveMap& drives, StageHost& host, StageRunner& runner)
{
    // The purge would pull the files from under an earlier job that runs on.
    const StageInfo& stage = dataLoadStage();
    if (runner.refuseDrive(stage.letter))
        return false;
    host.PurgeStageData();
    runner.setStageLogPath(stage.logPath);
    QString reason;
    if (!files::truncateCreate(drives.toNative(stage.logPath), &reason)) {
        endWithoutStage(host, QStringLiteral("The ") + stage.programName + QStringLiteral(" was not started: ") + stage.logPath
                                  + QStringLiteral(" could not be created (") + reason + QStringLiteral(")"));
        return false;
    }
    host.setBusy(false);
    const QString dataFile = drives.toNative(kDataFilePath);

    for (int DiskNumber = 1;; ++DiskNumber) {
        const QString chosen = chooseSdgFile(host);
        const QString dosPath = chosen.isEmpty() ? QString() : drives.toDos(chosen);
        const SdgNames names = deriveSdgNames(dosPath);
        host.setBusy(true);
        host.setWindowEnabled(false);
        if (!names.accepted) {
            endWithoutStage(host, QStringLiteral("No Files were Loaded"));
            return false;
        }
        host.setCaption(QStringLiteral("Inorganic PC-VQS [ SDG: ") + names.SdgName + QStringLiteral(" ]"));

        if (const std::optional<SdgCopyFailure> failure =
                copySdgFiles(QFileInfo(chosen).absolutePath(), names.filePattern, dataFile, DiskNumber == 1)) {
            // Half an SDG must not be assessed later as if it were whole.
            files::remove(dataFile);
            // Asked to end, the operator needs no message about it.
            endWithoutStage(host, failure->interrupted ? QString() : copyFailureMessage(drives, *failure));
            return false;
        }

        if (!names.diskette)
            break;
        host.setWindowEnabled(true);
        const Answer more = host.dialogs().message(
            {QStringLiteral("Do you want to load another disk: "), MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Continue?")});
        if (more != Answer::Yes)
            break;
    }

    host.setBusy(false);
    host.setWindowEnabled(true);
    const bool started = runner.RunDataLoadProgram();
    host.setBusy(false);
    host.setWindowEnabled(true);
    return started;
}

} // namespace qelvrin
