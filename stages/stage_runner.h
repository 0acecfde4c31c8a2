#pragma once

#include "platform/process.h"
#include "stages/stage_table.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

namespace qelvrin {

class DriveMap;
class StageHost;

// Why a stage did not start: its files could not be made ready (or an
// earlier job still runs on the drive), or the batch processor would not run.
enum class StartFailure { Preparation, BatchProcessor };

// The one stage that can run at a time. Text fields without a value hold a
// single blank.
struct StageState {
    QString StageLetter = QStringLiteral(" ");
    QString StageProgramName = QStringLiteral(" ");
    QString StageLogPath = QStringLiteral(" ");
    qint64 ExpectedLogSize = 0;
    qint64 SasTaskId = 0;
    qint32 CurrentLogSize = 0;
    // No value before the first stage of the program's run.
    std::optional<double> CompletionPercent;
};

// No more of a failure line than this is kept: a log line may be as long as
// the log, and the line is only there to be printed.
inline constexpr qsizetype kFailureLineLimit = 1000;

// Outcome of reading a finished stage's log.
struct CompletionVerdict {
    bool normal = true;
    qint64 failureLineNumber = 0;   // 1-based; 0 when none
    QByteArray failureLine;         // the first line holding a failure word, cut to kFailureLineLimit bytes
    bool failureLineCut = false;    // the line goes on beyond them
    QString reason;                 // why the log counts as abnormal when it could not be judged
    bool interrupted = false;       // the program was asked to end while the log was read
    bool noEndSignal = false;       // the job's processes all ended without the end signal
};

// Launch, progress monitor and completion check of the batch stages.
class StageRunner : public QObject {
    Q_OBJECT

public:
    StageRunner(const DriveMap& drives, StageHost& host, QObject* parent = nullptr);

    // The Run item or button of a stage that reads the data: the whole launch.
    // False when the batch processor could not be started (reported, idle again).
    bool launchAssessment(QChar stageLetter);
    // The Data Load launch, after the diskette copy; StageLogPath already set.
    bool RunDataLoadProgram();

    // The monitor's tick; Timer1 calls it every 500 ms while enabled.
    void Timer1_Timer();
    QTimer& Timer1() { return m_timer; }

    // Exit's close request to the running batch run.
    void CloseSasWindow();

    // Refuses, with the stop box, a drive whose folders others could plant
    // links in, and one where a process of the drive's last batch job lives:
    // nothing of the drive may be touched meanwhile.
    bool refuseDrive(QChar stageLetter);
    // The job the last launch started; it stays known after the stage ended.
    const BatchJob& job() const { return m_job; }

    const StageState& state() const { return m_state; }
    void setStageLogPath(const QString& dosPath) { m_state.StageLogPath = dosPath; }
    bool sasRunning() const { return m_state.SasTaskId > 0; }

Q_SIGNALS:
    // The batch processor has been started.
    void stageStarted(QChar stageLetter);
    // After the end sequence has given the commands back.
    void stageEnded(QChar stageLetter, const qelvrin::CompletionVerdict& verdict);
    // The stage could not be started; the program is idle again.
    void stageStartFailed(QChar stageLetter, const QString& reason, qelvrin::StartFailure kind);
    // Every tick while the stage runs, after the bar was set.
    void progressChanged(QChar stageLetter, int barPercent, double completionPercent);

private:
    // Launch steps 3 to 10, shared by the three stages.
    bool startStage(const StageInfo& stage);
    // Reports `message` and returns to idle; always false.
    bool returnToIdleAfterFailedStart(const StageInfo& stage, const QString& message, const QString& reason, StartFailure kind);
    bool failPreparation(const StageInfo& stage, const QString& nativePath, const QString& what, const QString& reason);
    void UpdateCompletionPercent();
    void ShowProgressPanel();
    void HideProgressPanel();
    // `paused`: the pause after the job's end has already been waited.
    void runEndSequence(bool paused = false);
    // The job's processes have all ended and no end signal came.
    void endWithoutSignal();
    // End sequence steps 6 to 10, and the news of the end.
    void returnToIdle(QChar letter, const CompletionVerdict& verdict);
    CompletionVerdict CheckStageCompletion();
    QString nativeLogPath() const;

    const DriveMap& m_drives;
    StageHost& m_host;
    QTimer m_timer;
    StageState m_state;
    BatchJob m_job;
    // What Panel3D1 holds: the whole percentage, and the red that an overrun
    // leaves until the stage ends.
    int m_barPercent = 0;
    bool m_barRed = false;
};

// The end sequence's pause: QELVRIN_END_PAUSE_MS when set, else 3000 ms.
int endPauseMilliseconds();

// The bar's whole percentage for a completion percentage: half to even;
// above 100 the bar shows 99.
int barPercent(double completionPercent);
// CompletionPercent in general number format: up to 15 significant digits.
QString generalNumber(double value);
// A log line holding "stopped", "memory", "not found" or "aborted" (case-sensitive).
bool isFailureLine(QByteArrayView line);
// Reads the log at `nativePath`; a log that cannot be read or is empty is
// abnormal. Reads through a buffer of `bufferSize` bytes, lines longer than
// it in pieces.
CompletionVerdict judgeLog(const QString& nativePath, qsizetype bufferSize = 1 << 20);

} // namespace qelvrin
