#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qelvrin::batch {

// One stage the runner started, as it ended.
struct StageRecord {
    QChar letter;
    QString name;                 // "Data Load Program"
    QString outcome;              // "completed", "abnormal", "not started", "interrupted"
    QString logPath;              // native path of the stage's log
    QString reportPath;           // native path of its defect report; empty for Data Load
    qint64 failureLineNumber = 0; // 1-based; 0 when the log holds no failure word
    QByteArray failureLine;       // at most kFailureLineLimit bytes
    bool failureLineCut = false;  // the log's line goes on beyond them
    QString reason;               // why the log could not be judged, or why the stage did not start
    qint64 durationMs = 0;
    std::optional<int> batchProcessorExitStatus; // when it exited and the status is known
    std::optional<int> batchProcessorSignal;     // when a signal ended it
};

// What `qelvrin-batch --json` prints when it ends: one object for scripts
// that run many SDGs and collect the results.
// The run's start is when the report is made.
class BatchReport {
public:
    void setSdg(const QString& sdg) { m_sdg = sdg; }
    void setDrive(const QString& root) { m_drive = root; }
    void setInputs(const QStringList& files) { m_inputs = files; }
    // `code` is a stable word for scripts (usage, missing-file, drive-busy ...);
    // `error` the sentence for a person.
    void setError(const QString& code, const QString& error)
    {
        m_errorCode = code;
        m_error = error;
    }
    void setErrorCode(const QString& code) { m_errorCode = code; }
    // Notes when the stage ended and, for an abnormal one, its log's cause.
    void addStage(StageRecord record);

    // One line of compact JSON, without the line end.
    QByteArray toJson(int exitStatus, qint64 durationMs) const;

private:
    struct Stage {
        StageRecord record;
        QDateTime endedAt;
        QByteArray cause;
        bool causeCut = false;
    };
    QDateTime m_startedAt = QDateTime::currentDateTimeUtc();
    QString m_sdg;
    QString m_drive;
    QStringList m_inputs;
    QString m_error;
    QString m_errorCode;
    QList<Stage> m_stages;
};

// The first message of a log that begins with "ERROR:", with the indented
// lines it is wrapped onto joined by blanks, cut to the failure line's
// limit; empty when there is none in the log's first kCauseScanLimit bytes
// or the log cannot be read.
QByteArray firstErrorLine(const QString& logPath, bool* cut);
inline constexpr qint64 kCauseScanLimit = 64 << 20;

} // namespace qelvrin::batch
