#pragma once

#include <QChar>
#include <QString>

namespace qelvrin {

class Dialogs;

// What stage control needs from whoever shows it: the main window, or the
// batch runner on a terminal. Names follow the window's procedures.
class StageHost {
public:
    virtual ~StageHost() = default;

    virtual Dialogs& dialogs() = 0;

    // Command state.
    virtual void LockCommands() = 0;
    virtual void UnlockCommands() = 0;
    virtual void RefreshStageCommands() = 0;
    virtual void PurgeStageData() = 0;

    // Label4: the running stage's program name.
    virtual void setRunningProgramName(const QString& name) = 0;
    // Panel3D1: whole percentage 0..100; `overrun` paints the text red.
    virtual void setCompletionBar(int percent, bool overrun) = 0;
    // Label3, Label4 and Panel3D1 together.
    virtual void setProgressPanelVisible(bool visible) = 0;
    // The two Options check marks.
    virtual bool displayProgressChecked() const = 0;
    virtual bool displayLogOnAbendChecked() const = 0;

    virtual bool isMinimised() const = 0;
    virtual void setCaption(const QString& caption) = 0;
    virtual void showDoneMark(QChar stageLetter) = 0;
    // The View menu's log command of the stage.
    virtual void openStageLog(QChar stageLetter) = 0;

    // Busy pointer and the enabled state of the whole window (data load).
    virtual void setBusy(bool busy) = 0;
    virtual void setWindowEnabled(bool enabled) = 0;

    // The blocking pause of the end sequence: nothing is handled meanwhile.
    virtual void pause(int milliseconds) = 0;
};

} // namespace qelvrin
