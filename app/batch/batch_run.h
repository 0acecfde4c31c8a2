#pragma once

#include "app/batch/batch_report.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

class QEventLoop;

namespace qelvrin {
class DriveMap;
class StageRunner;
struct CompletionVerdict;
struct ProcessEnd;
enum class StartFailure;
}

namespace qelvrin::batch {

class BatchDialogs;
class BatchHost;

struct BatchOptions {
    QString drive;
    QString driveA;
    QString driveB;
    QString stages;          // stage letters; empty: every stage
    QStringList sdgFiles;    // the SDG file, then one file per further diskette
};

enum ExitStatus : int {
    ExitCompleted = 0,
    ExitAbnormal = 1,
    ExitSetupError = 2,
    ExitCannotStart = 3,
    ExitInterrupted = 130,
};

// One unattended run: the window's start-up rules, the data load of the
// given SDG files, then the chosen stages in turn through the same launch,
// monitor and completion check.
class BatchRun : public QObject {
    Q_OBJECT

public:
    BatchRun(BatchOptions options, QTextStream& out, QTextStream& err, bool terminal);
    int exec();

    // Ctrl-C: the running stage gets the close request and the marker is
    // left as the launch wrote it, as Exit with OK does in the window.
    void interrupt();

    // What happened, for --json; complete once exec() has returned.
    const BatchReport& report() const { return m_report; }

private:
    // What every stage of the run works with.
    struct StageContext {
        const DriveMap& drives;
        BatchHost& host;
        BatchDialogs& dialogs;
        StageRunner& runner;
        QString sdg;
    };

    // Why the run cannot go ahead: a stable word for scripts and a sentence.
    struct Refusal {
        QString code;
        QString why;
    };

    int fail(const QString& code, const QString& why);
    // Writes "NORMAL" unless a stage was interrupted; returns `status`.
    int endCleanly(const DriveMap& drives, int status);
    // Lays the drive out; why the run cannot go on, or an empty `why`.
    Refusal prepareDrive(const DriveMap& drives);
    // One stage from its launch to its verdict; the run's exit status when
    // the run ends with it.
    std::optional<int> runStage(QChar letter, const StageContext& context);
    int notStarted(StageRecord& record, const QString& reason, StartFailure kind);
    int interrupted(StageRecord& record, bool started, StageRunner& runner);
    std::optional<int> judge(StageRecord& record, const CompletionVerdict& verdict, const std::optional<ProcessEnd>& end);

    QEventLoop* m_loop = nullptr;
    BatchOptions m_options;
    QTextStream& m_out;
    QTextStream& m_err;
    bool m_terminal;
    bool m_interrupted = false;
    BatchReport m_report;
};

// The letters --stages takes, for the operator: "D, I and F".
QString stageChoices();
// The stages by name, in the order they run: "Data Load, Initial Assessment and Full Assessment".
QString stageNames();
// The stage letters to run, in the order given; empty with `error` set when
// the choice is not usable.
QString chooseStages(const QString& stages, bool haveSdgFiles, QString* error);

} // namespace qelvrin::batch
