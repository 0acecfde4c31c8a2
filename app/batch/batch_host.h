#pragma once

#include "app/batch/batch_dialogs.h"
#include "stages/stage_host.h"

#include <QElapsedTimer>
#include <QTextStream>

#include <functional>

namespace qelvrin {
class DriveMap;
}

namespace qelvrin::batch {

// Stage control's view of a terminal: the completion bar becomes a progress
// line (redrawn in place on a terminal, one line per stage otherwise); there
// are no commands to lock and no window to minimise.
class BatchHost : public StageHost {
public:
    BatchHost(const DriveMap& drives, BatchDialogs& dialogs, QTextStream& out, bool terminal);

    Dialogs& dialogs() override { return m_dialogs; }
    void LockCommands() override {}
    void UnlockCommands() override {}
    void RefreshStageCommands() override {}
    void PurgeStageData() override;
    void setRunningProgramName(const QString& name) override;
    // The batch processor runs: worth a line, where no progress line shows.
    void announceStart();
    void setCompletionBar(int percent, bool overrun) override;
    void setProgressPanelVisible(bool visible) override;
    bool displayProgressChecked() const override { return true; }
    // The runner prints the failure line itself; there is no viewer to open.
    bool displayLogOnAbendChecked() const override { return false; }
    bool isMinimised() const override { return false; }
    void setCaption(const QString& caption) override;
    void showDoneMark(QChar stageLetter) override;
    void openStageLog(QChar) override {}
    void setBusy(bool) override {}
    void setWindowEnabled(bool) override {}
    // The end pause ends early once this says that no process of the job
    // lives: then nothing can still write the log.
    void setJobEnded(std::function<bool()> ended) { m_jobEnded = std::move(ended); }
    void pause(int milliseconds) override;

private:
    void draw();

    const DriveMap& m_drives;
    BatchDialogs& m_dialogs;
    QTextStream& m_out;
    bool m_terminal;
    QString m_stageName;
    bool m_started = false;
    int m_percent = 0;
    bool m_overrun = false;
    QElapsedTimer m_clock;
    std::function<bool()> m_jobEnded;
};

} // namespace qelvrin::batch
