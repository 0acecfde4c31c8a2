#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace qelvrin::batch {

// One stage the runner started, as it ended.
struct StageRecord {
    QChar letter;
    QString name;                 // "Data Load Program"
    QString outcome;              // "completed", "abnormal", "not started", "interrupted"
    QString logPath;              // native path of the stage's log
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
class BatchReport {
public:
    void setSdg(const QString& sdg) { m_sdg = sdg; }
    void setDrive(const QString& root) { m_drive = root; }
    void setError(const QString& error) { m_error = error; }
    void addStage(const StageRecord& record) { m_stages.append(record); }

    // One line of compact JSON, without the line end.
    QByteArray toJson(int exitStatus, qint64 durationMs) const;

private:
    QString m_sdg;
    QString m_drive;
    QString m_error;
    QList<StageRecord> m_stages;
};

} // namespace qelvrin::batch
