#include "stages/stage_runner.h"

#include "dialogs/dialogs.h"
#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "platform/folder_trust.h"
#include "stages/job_record.h"
#include "platform/process.h"
#include "stages/run_marker.h"
#include "stages/end_signal.h"
#include "stages/job_guard.h"
#include "stages/stage_host.h"

#include <QFileInfo>

#include <limits>

namespace qelvrin {

namespace {

constexpr int kTickMilliseconds = 500;
constexpr int kEndPauseMilliseconds = 3000;
const QString kBlank = QStringLiteral(" ");

QChar letterOf(const StageState& state)
{
    return state.StageLetter.isEmpty() ? QChar(' ') : state.StageLetter.at(0);
}

} // namespace

int endPauseMilliseconds()
{
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("QELVRIN_END_PAUSE_MS", &ok);
    return ok && fromEnvironment >= 0 ? fromEnvironment : kEndPauseMilliseconds;
}

StageRunner::StageRunner(const DriveMap& drives, StageHost& host, QObject* parent)
    : QObject(parent), m_drives(drives), m_host(host)
{
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &StageRunner::Timer1_Timer);
}

bool StageRunner::launchAssessment(QChar stageLetter)
{
    const StageInfo* stage = stageByLetter(stageLetter);
    // The data load starts only after its diskette copy.
    if (!stage || stage->role != StageRole::ReadsData)
        return false;
    if (refuseDrive(stageLetter))
        return false;
    QString reason;
    for (const QString& path : {stage->logPath, stage->reportPath}) {
        if (!files::remove(m_drives.toNative(path), &reason))
            return failPreparation(*stage, m_drives.toNative(path), QStringLiteral("could not be deleted"), reason);
    }
    m_state.StageLogPath = stage->logPath;
    if (!files::truncateCreate(m_drives.toNative(stage->logPath), &reason))
        return failPreparation(*stage, m_drives.toNative(stage->logPath), QStringLiteral("could not be created"), reason);
    return startStage(*stage);
}

bool StageRunner::RunDataLoadProgram()
{
    return startStage(dataLoadStage());
}

bool StageRunner::startStage(const StageInfo& stage)
{
    m_host.LockCommands();
    m_host.setRunningProgramName(stage.programName);
    m_state.StageLetter = QString(stage.letter);
    m_state.ExpectedLogSize = stage.expectedLogSize;
    m_state.StageProgramName = stage.programName;
    m_barPercent = 0;
    m_host.setCompletionBar(m_barPercent, m_barRed);
    QString reason;
    const QString markerPath = marker::nativePath(m_drives);
    if (!marker::write(markerPath, stage.markerText, &reason))
        return failPreparation(stage, markerPath, QStringLiteral("could not be written"), reason);
    if (const std::optional<EndSignalLeft> left = removeEndSignal(m_drives))
        return failPreparation(stage, left->nativePath, QStringLiteral("could not be deleted"), left->reason);
    // Made before the start, so a drive that will not take the note stops
    // the launch while nothing runs yet.
    const QString recordPath = m_drives.toNative(kJobRecordPath);
    if (!files::truncateCreate(recordPath, &reason))
        return failPreparation(stage, recordPath, QStringLiteral("could not be written"), reason);

    const ProcessStart started = startDetached(m_drives, stage.commandLine, m_drives.installDir());
    if (!started.job.isValid()) {
        const QString program = stage.commandLine.section(QLatin1Char(' '), 0, 0);
        return returnToIdleAfterFailedStart(
            stage, QStringLiteral("The SAS Software could not be started: ") + program + QStringLiteral(" (") + started.error + QStringLiteral(")"),
            started.error, StartFailure::BatchProcessor);
    }
    if (!writeJobRecord(recordPath, started.job, &reason)) {
        // A job nobody can find again must not run on.
        sendCloseRequest(started.job);
        return failPreparation(stage, recordPath, QStringLiteral("could not be written"), reason);
    }
    m_job = started.job;
    m_state.SasTaskId = started.job.pid;
    m_timer.start();
    Q_EMIT stageStarted(stage.letter);
    return true;
}

bool StageRunner::refuseDrive(QChar stageLetter)
{
    QString message = files::untrustedFolder(m_drives.root(), true);
    for (const QString& folder : {m_drives.installDir(), QFileInfo(m_drives.toNative(kBatchProcessorPath)).path()}) {
        if (message.isEmpty())
            message = files::untrustedFolder(folder);
    }
    if (const std::optional<BatchJob> earlier = message.isEmpty() ? runningJob(m_drives) : std::nullopt)
        message = runningJobMessage(*earlier);
    if (message.isEmpty())
        return false;
    returnToIdleAfterFailedStart(*stageByLetter(stageLetter), message, message, StartFailure::Preparation);
    return true;
}

bool StageRunner::failPreparation(const StageInfo& stage, const QString& nativePath, const QString& what, const QString& reason)
{
    const QString message = QStringLiteral("The ") + stage.programName + QStringLiteral(" was not started: ") + m_drives.toDos(nativePath)
                            + u' ' + what + QStringLiteral(" (") + reason + QStringLiteral(")");
    return returnToIdleAfterFailedStart(stage, message, message, StartFailure::Preparation);
}

bool StageRunner::returnToIdleAfterFailedStart(const StageInfo& stage, const QString& message, const QString& reason, StartFailure kind)
{
    m_host.dialogs().message({message, MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
    m_timer.stop();
    m_state.StageLetter = kBlank;
    m_state.StageProgramName = kBlank;
    m_state.StageLogPath = kBlank;
    m_state.SasTaskId = 0;
    m_host.RefreshStageCommands();
    m_host.UnlockCommands();
    Q_EMIT stageStartFailed(stage.letter, reason, kind);
    return false;
}

QString StageRunner::nativeLogPath() const
{
    return m_drives.toNative(m_state.StageLogPath);
}

void StageRunner::Timer1_Timer()
{
    if (letterOf(m_state) == QChar(' ')) {
        // A tick queued before the stage ended has nothing left to watch.
        m_timer.stop();
        return;
    }
    if (endSignalPresent(m_drives)) {
        runEndSequence();
        return;
    }
    if (!jobRunning(m_job)) {
        endWithoutSignal();
        return;
    }
    // While the batch run recreates its log the size cannot be taken; the
    // bar then keeps what it showed until the next tick.
    if (const std::optional<qint64> size = files::size(nativeLogPath())) {
        m_state.CurrentLogSize = static_cast<qint32>(qMin<qint64>(*size, std::numeric_limits<qint32>::max()));
        UpdateCompletionPercent();
    }
    if (m_host.displayProgressChecked())
        ShowProgressPanel();
    else
        HideProgressPanel();
    if (m_host.isMinimised())
        m_host.setCaption(QStringLiteral("Inorganic PC-VQS ") + QString::number(m_barPercent) + QStringLiteral("%"));
    Q_EMIT progressChanged(letterOf(m_state), m_barPercent, m_state.CompletionPercent.value_or(0));
}

void StageRunner::UpdateCompletionPercent()
{
    const double percent = double(m_state.CurrentLogSize) / double(m_state.ExpectedLogSize) * 100;
    m_state.CompletionPercent = percent;
    if (percent > 100)
        m_barRed = true;
    m_barPercent = barPercent(percent);
    m_host.setCompletionBar(m_barPercent, m_barRed);
}

void StageRunner::ShowProgressPanel()
{
    m_host.setProgressPanelVisible(true);
}

void StageRunner::HideProgressPanel()
{
    m_host.setProgressPanelVisible(false);
}

void StageRunner::runEndSequence(bool paused)
{
    const QChar letter = letterOf(m_state);
    m_timer.stop();
    if (!paused)
        m_host.pause(endPauseMilliseconds());
    HideProgressPanel();
    const CompletionVerdict verdict = CheckStageCompletion();
    m_host.showDoneMark(letter);
    returnToIdle(letter, verdict);
}

void StageRunner::endWithoutSignal()
{
    const QChar letter = letterOf(m_state);
    m_timer.stop();
    // A signal written just before the job's last process ended still counts.
    m_host.pause(endPauseMilliseconds());
    if (endSignalPresent(m_drives)) {
        runEndSequence(true);
        return;
    }
    HideProgressPanel();
    // The log's failure line is still worth reporting; its verdict is not.
    CompletionVerdict verdict = judgeLog(nativeLogPath());
    if (!verdict.interrupted) {
        verdict.normal = false;
        verdict.noEndSignal = true;
        verdict.reason = QStringLiteral("the batch processor ended without its end signal");
        m_host.dialogs().message({QStringLiteral("The ") + m_state.StageProgramName
                                      + QStringLiteral(" has ended without its end signal. Please check the SAS log from the view menu"),
                                  MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
        if (m_host.displayLogOnAbendChecked())
            m_host.openStageLog(letter);
    }
    returnToIdle(letter, verdict);
}

void StageRunner::returnToIdle(QChar letter, const CompletionVerdict& verdict)
{
    m_state.CompletionPercent = 0;
    m_barPercent = 0;
    m_barRed = false;
    m_host.setCompletionBar(m_barPercent, m_barRed);
    m_host.RefreshStageCommands();
    m_state.StageLetter = kBlank;
    m_state.StageProgramName = kBlank;
    m_host.UnlockCommands();
    m_state.StageLogPath = kBlank;
    m_state.SasTaskId = 0;
    Q_EMIT stageEnded(letter, verdict);
}

CompletionVerdict StageRunner::CheckStageCompletion()
{
    const CompletionVerdict verdict = judgeLog(nativeLogPath());
    // The program is ending; a verdict on half a log would only mislead.
    if (verdict.interrupted)
        return verdict;
    if (verdict.normal) {
        m_host.dialogs().message({QStringLiteral("The ") + m_state.StageProgramName + QStringLiteral(" has successfully completed."),
                                  MsgIcon::None, MsgButtons::Ok, kApplicationTitle});
        return verdict;
    }
    m_host.dialogs().message({QStringLiteral("The ") + m_state.StageProgramName
                                  + QStringLiteral(" has ended abnormally. Please check the SAS log from the view menu"),
                              MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
    if (m_host.displayLogOnAbendChecked())
        m_host.openStageLog(letterOf(m_state));
    return verdict;
}

void StageRunner::CloseSasWindow()
{
    sendCloseRequest(m_job);
}

} // namespace qelvrin
