#pragma once

#include "support/scripted_dialogs.h"
#include "stages/stage_host.h"

#include <QStringList>

#include <functional>

namespace qelvrin::testing {

// A main window reduced to what stage control touches: every call is logged in order, message boxes included,
// and the operator's answers come from the scripted dialogs.
class FakeStageHost : public StageHost {
public:
    ScriptedDialogs scripted;
    QStringList calls;

    bool logOnAbendChecked = true;
    bool minimised = false;
    QString caption;
    int bar = -1;
    bool barRed = false;
    bool windowEnabled = true;
    // Runs after each call is logged, so a test can look at the state then.
    std::function<void(const QString&)> onCall;

    FakeStageHost()
    {
        scripted.onCall = [this](const ScriptedDialogs::Call& call) {
            if (call.kind == ScriptedDialogs::Kind::Message)
                log(QStringLiteral("message ") + call.text);
        };
    }

    Dialogs& dialogs() override { return scripted; }

    void LockCommands() override { log(QStringLiteral("LockCommands")); }
    void UnlockCommands() override { log(QStringLiteral("UnlockCommands")); }
    void RefreshStageCommands() override { log(QStringLiteral("RefreshStageCommands")); }
    void PurgeStageData() override { log(QStringLiteral("PurgeStageData")); }

    void setRunningProgramName(const QString& name) override { log(QStringLiteral("Label4 ") + name); }
    void setCompletionBar(int percent, bool overrun) override
    {
        bar = percent;
        barRed = overrun;
        log(QStringLiteral("bar %1 %2").arg(percent).arg(overrun ? QStringLiteral("red") : QStringLiteral("white")));
    }
    void setProgressPanelVisible(bool visible) override { log(visible ? QStringLiteral("ShowProgressPanel") : QStringLiteral("HideProgressPanel")); }
    bool displayProgressChecked() const override { return true; }
    bool displayLogOnAbendChecked() const override { return logOnAbendChecked; }
    bool isMinimised() const override { return minimised; }
    void setCaption(const QString& text) override { log(QStringLiteral("caption ") + (caption = text)); }
    void showDoneMark(QChar stageLetter) override { log(QStringLiteral("done ") + stageLetter); }
    void openStageLog(QChar stageLetter) override { log(QStringLiteral("openStageLog ") + stageLetter); }
    void setBusy(bool on) override { log(on ? QStringLiteral("busy") : QStringLiteral("pointer normal")); }
    void setWindowEnabled(bool enabled) override { log((windowEnabled = enabled) ? QStringLiteral("window enabled") : QStringLiteral("window disabled")); }
    void pause(int milliseconds) override { log(QStringLiteral("pause %1").arg(milliseconds)); }

private:
    void log(const QString& call)
    {
        calls << call;
        if (onCall)
            onCall(call);
    }
};

} // namespace qelvrin::testing
