#include "app/batch/batch_run.h"

#include "app/batch/batch_dialogs.h"
#include "app/batch/batch_host.h"
#include "app/batch/sdg_files.h"
#include "app/command_state.h"
#include "app/startup.h"
#include "platform/drive_map.h"
#include "app/drive_setup.h"
#include "platform/file_ops.h"
#include "platform/folder_watch.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "stages/run_marker.h"
#include "platform/single_instance.h"
#include "stages/data_load.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QScopeGuard>

#include <optional>

namespace qelvrin::batch {

namespace {

// "A, B and C".
QString listed(const QStringList& items)
{
    QString list;
    for (qsizetype i = 0; i < items.size(); ++i)
        list += (i == 0 ? QString() : i + 1 == items.size() ? QStringLiteral(" and ") : QStringLiteral(", ")) + items.at(i);
    return list;
}

} // namespace

QString stageChoices()
{
    QStringList letters;
    for (const StageInfo& stage : stageTable())
        letters << stage.letter;
    return listed(letters);
}

QString stageNames()
{
    QStringList names;
    for (const StageInfo& stage : stageTable())
        names << stage.controls.labelCaption;
    return listed(names);
}

QString chooseStages(const QString& stages, bool haveSdgFiles, QString* error)
{
    const QString wanted = stages.isEmpty() ? stageLetters() : stages.toUpper();
    QString chosen;
    for (const QChar letter : wanted) {
        if (!stageByLetter(letter)) {
            *error = QStringLiteral("--stages takes the letters %1; \"%2\" is not one of them").arg(stageChoices(), letter);
            return {};
        }
        if (chosen.contains(letter)) {
            *error = QStringLiteral("--stages names %1 twice").arg(letter);
            return {};
        }
        chosen += letter;
    }
    const StageInfo& load = dataLoadStage();
    const QString loadStage = QStringLiteral("the ") + load.controls.labelCaption + QStringLiteral(" stage");
    if (chosen.contains(load.letter) && !haveSdgFiles) {
        *error = loadStage + QStringLiteral(" needs an SDG file");
        return {};
    }
    if (!chosen.contains(load.letter) && haveSdgFiles) {
        *error = QStringLiteral("SDG files are only read by ") + loadStage + QStringLiteral(" (%1)").arg(load.letter);
        return {};
    }
    if (chosen.contains(load.letter) && !chosen.startsWith(load.letter)) {
        *error = loadStage + QStringLiteral(" must come first");
        return {};
    }
    return chosen;
}

namespace {

// How long the runner waits, after the end signal and its pause, for the
// batch processor to exit and tell its status.
constexpr int kExitWaitMs = 1000;

StageRecord recordFor(const DriveMap& drives, QChar letter)
{
    const StageInfo& stage = *stageByLetter(letter);
    StageRecord record;
    record.letter = letter;
    record.name = stage.programName;
    record.logPath = drives.toNative(stage.logPath);
    record.reportPath = stage.reportPath.isEmpty() ? QString() : drives.toNative(stage.reportPath);
    return record;
}

} // namespace

BatchRun::BatchRun(BatchOptions options, QTextStream& out, QTextStream& err, bool terminal)
    : m_options(std::move(options)), m_out(out), m_err(err), m_terminal(terminal)
{
}

void BatchRun::interrupt()
{
    interrupt::request();
    m_interrupted = true;
    if (m_loop)
        m_loop->quit();
}

int BatchRun::fail(const QString& code, const QString& why)
{
    m_err << "qelvrin-batch: " << why << '\n';
    m_err.flush();
    m_report.setError(code, why);
    return ExitSetupError;
}

int BatchRun::endCleanly(const DriveMap& drives, int status)
{
    // Nothing runs any more; only an interrupted stage leaves its mark.
    if (status != ExitInterrupted)
        marker::write(marker::nativePath(drives), QString::fromLatin1(marker::kNormal));
    return status;
}

int BatchRun::exec()
{
    QString error;
    const QString letters = chooseStages(m_options.stages, !m_options.sdgFiles.isEmpty(), &error);
    m_report.setInputs(m_options.sdgFiles);
    if (letters.isEmpty())
        return fail(QStringLiteral("usage"), error);
    // Not const: a further diskette's folder goes into drive A: when its turn comes.
    DriveMap drives = DriveMap::fromOptions(m_options.drive, m_options.driveA, m_options.driveB);
    m_report.setDrive(drives.root());
    const SdgFiles sdgFiles = checkSdgFiles(drives, m_options.sdgFiles);
    if (!sdgFiles.error.isEmpty())
        return fail(sdgFiles.errorCode, sdgFiles.error);
    if (const Refusal refusal = prepareDrive(drives); !refusal.why.isEmpty())
        return fail(refusal.code, refusal.why);

    BatchDialogs dialogs(drives, sdgFiles.nativePaths, m_out, m_err);
    BatchHost host(drives, dialogs, m_out, m_terminal);
    SingleInstanceGuard guard(drives.toNative(kLockPath));
    const StartupCommands commands{[&host] { host.PurgeStageData(); }, [] {}};
    if (!runStartup(drives, guard, dialogs, commands)) { // refused as a second copy; it said so
        const QString code = guard.held() ? QStringLiteral("job-running") : guard.error().isEmpty() ? QStringLiteral("drive-busy") : QStringLiteral("drive-setup");
        m_report.setError(code, dialogs.lastMessage());
        return ExitSetupError;
    }
    const StageInfo& load = dataLoadStage();
    if (!letters.contains(load.letter) && !files::isPlainFile(drives.toNative(kDataFilePath)))
        return endCleanly(drives, fail(QStringLiteral("not-prepared"), QStringLiteral("no data loaded on %1: run the %2 stage (%3) with an SDG file first")
                                                                          .arg(drives.root(), load.controls.labelCaption, load.letter)));

    adoptDetachedChildren();
    StageRunner runner(drives, host);
    host.setJobEnded([&runner] { return !jobRunning(runner.job()); });
    connect(&runner, &StageRunner::stageStarted, &runner, [&host] { host.announceStart(); });
    // The window looks for the end signal every 500 ms; here it is noticed as
    // it appears. The runner's own tick stays as the poll for file systems
    // that report nothing.
    FolderWatch installFolder(drives.installDir());
    connect(&installFolder, &FolderWatch::changed, &runner, [&runner] {
        if (runner.sasRunning())
            runner.Timer1_Timer();
    });
    const StageContext context{drives, host, dialogs, runner, sdgFiles.sdgName};
    for (const QChar letter : letters) {
        if (const std::optional<int> end = runStage(letter, context))
            return endCleanly(drives, *end);
    }
    return endCleanly(drives, ExitCompleted);
}

BatchRun::Refusal BatchRun::prepareDrive(const DriveMap& drives)
{
    // A drive laid out before runs on when a missing piece cannot be put
    // back (a read-only drive): the step that needs it says so.
    const bool laidOutBefore = QFileInfo(drives.installDir()).isDir();
    const DriveSetupResult setup = setUpDrive(drives, findStandIn());
    if (!setup.ok && !laidOutBefore)
        return {QStringLiteral("drive-setup"), setup.error};
    if (!setup.ok) {
        m_err << "qelvrin-batch: " << setup.error << '\n';
        m_err.flush();
    }
    // Nothing is purged on a guess: the operator learns why first.
    return {QStringLiteral("marker-unreadable"), unreadableMarkerMessage(drives)};
}

std::optional<int> BatchRun::runStage(QChar letter, const StageContext& context)
{
    StageRecord record = recordFor(context.drives, letter);
    QElapsedTimer clock;
    clock.start();
    std::optional<CompletionVerdict> verdict;
    std::optional<QString> startFailure;
    StartFailure failureKind = StartFailure::BatchProcessor;
    QEventLoop loop;
    m_loop = &loop;
    const auto forgetLoop = qScopeGuard([this] { m_loop = nullptr; });
    connect(&context.runner, &StageRunner::stageEnded, &loop, [&](QChar, const CompletionVerdict& ended) {
        verdict = ended;
        loop.quit();
    });
    connect(&context.runner, &StageRunner::stageStartFailed, &loop, [&](QChar, const QString& reason, StartFailure kind) {
        startFailure = reason;
        failureKind = kind;
        loop.quit();
    });
    const bool loadsData = stageByLetter(letter)->role == StageRole::LoadsData;
    const bool started = loadsData ? runDataLoadCommand(context.drives, context.host, context.runner) : context.runner.launchAssessment(letter);
    if (loadsData)
        m_report.setSdg(context.sdg);
    // The signal handler's wake-up waits for the event loop, which a long
    // copy or log read kept busy: the flag tells at once.
    m_interrupted = m_interrupted || interrupt::requested();
    if (!m_interrupted && startFailure)
        return notStarted(record, *startFailure, failureKind);
    if (!m_interrupted && !started) { // the data load refused the files; its last message said why
        m_report.setError(QStringLiteral("bad-sdg-name"), context.dialogs.lastMessage());
        return ExitSetupError;
    }
    const qint64 batchProcessor = context.runner.state().SasTaskId;
    if (!m_interrupted)
        loop.exec();
    record.durationMs = clock.elapsed();
    m_interrupted = m_interrupted || interrupt::requested();
    if (m_interrupted)
        return interrupted(record, started, context.runner);
    return judge(record, verdict.value_or(CompletionVerdict{}), collectExitStatus(batchProcessor, kExitWaitMs));
}

int BatchRun::notStarted(StageRecord& record, const QString& reason, StartFailure kind)
{
    record.outcome = QStringLiteral("not started");
    record.reason = reason;
    m_report.addStage(record);
    if (kind == StartFailure::BatchProcessor) {
        m_report.setErrorCode(QStringLiteral("processor-not-started"));
        return ExitCannotStart;
    }
    m_report.setError(QStringLiteral("not-prepared"), reason);
    return ExitSetupError;
}

int BatchRun::interrupted(StageRecord& record, bool started, StageRunner& runner)
{
    runner.CloseSasWindow();
    if (started)
        m_err << "\nqelvrin-batch: interrupted; the " << record.name << " was asked to close, and the next start purges its outputs\n";
    else
        m_err << "\nqelvrin-batch: interrupted before the " << record.name << " started\n";
    m_err.flush();
    record.outcome = QStringLiteral("interrupted");
    m_report.addStage(record);
    return ExitInterrupted;
}

std::optional<int> BatchRun::judge(StageRecord& record, const CompletionVerdict& verdict, const std::optional<ProcessEnd>& end)
{
    if (end && end->signal != 0)
        record.batchProcessorSignal = end->signal;
    else if (end)
        record.batchProcessorExitStatus = end->exitStatus;
    const bool processorFailed = end && end->failed();
    if (verdict.normal && !processorFailed) {
        record.outcome = QStringLiteral("completed");
        m_report.addStage(record);
        return std::nullopt;
    }
    record.outcome = QStringLiteral("abnormal");
    record.failureLineNumber = verdict.failureLineNumber;
    record.failureLine = verdict.failureLine;
    record.failureLineCut = verdict.failureLineCut;
    record.reason = verdict.reason;
    const QString how = end ? QStringLiteral(": ") + end->text() : QString();
    if (verdict.noEndSignal)
        record.reason += how;
    else if (verdict.normal)
        record.reason = QStringLiteral("the batch processor failed") + how;
    m_report.addStage(record);
    if (verdict.failureLineNumber > 0) {
        m_out << "First failure line " << verdict.failureLineNumber << " of " << record.logPath << ":\n"
              << QString::fromLatin1(verdict.failureLine)
              << (verdict.failureLineCut ? QStringLiteral(" [cut at %1 bytes]").arg(kFailureLineLimit) : QString()) << '\n';
    } else if (!verdict.noEndSignal && !verdict.normal) {
        m_out << "The log " << record.logPath << " could not be judged: " << verdict.reason << '\n';
    }
    if (verdict.noEndSignal || verdict.normal) {
        QString sentence = record.reason;
        sentence[0] = sentence.at(0).toUpper();
        m_out << sentence << ".\n";
    }
    m_out.flush();
    return ExitAbnormal;
}

} // namespace qelvrin::batch
