// The window's side of stage control: what StageHost asks of it.
#include "app/completion_panel.h"
#include "app/mainmenu.h"
#include "widgets/busy_pointer.h"
#include "stages/stage_table.h"

#include <QAction>
#include <QLabel>
#include <QThread>

namespace qelvrin {

void Mainmenu::LockCommands()
{
    m_commands.LockCommands();
    applyCommandState();
}

void Mainmenu::UnlockCommands()
{
    m_commands.UnlockCommands();
    applyCommandState();
}

void Mainmenu::RefreshStageCommands()
{
    m_commands.RefreshStageCommands(m_drives);
    applyCommandState();
}

void Mainmenu::PurgeStageData()
{
    m_commands.PurgeStageData(m_drives);
    applyCommandState();
    setWindowTitle(QStringLiteral("Inorganic Quorvane "));
}

void Mainmenu::setRunningProgramName(const QString& name)
{
    m_label4->setText(name);
}

void Mainmenu::setCompletionBar(int percent, bool overrun)
{
    m_panel->setPercent(percent);
    m_panel->setTextColour(overrun ? QColor(255, 0, 0) : QColor(255, 255, 255));
    m_panel->setAccessibleDescription(overrun ? QStringLiteral("Shown in red: the log has grown beyond its expected size") : QString());
}

void Mainmenu::setProgressPanelVisible(bool visible)
{
    m_label3->setVisible(visible);
    m_label4->setVisible(visible);
    m_panel->setVisible(visible);
}

bool Mainmenu::displayProgressChecked() const
{
    return action(QStringLiteral("mnuDisplayProgress"))->isChecked();
}

bool Mainmenu::displayLogOnAbendChecked() const
{
    return action(QStringLiteral("mnuDisplayLogAbend"))->isChecked();
}

bool Mainmenu::isMinimised() const
{
    return isMinimized();
}

void Mainmenu::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void Mainmenu::showDoneMark(QChar stageLetter)
{
    if (const StageInfo* stage = stageByLetter(stageLetter))
        centralWidget()->findChild<QLabel*>(stage->controls.doneMark)->show();
    describeDoneStage(stageLetter);
}

void Mainmenu::openStageLog(QChar stageLetter)
{
    // Straight to the viewer: the View items are still locked while the
    // finished stage is judged.
    if (const StageInfo* stage = stageByLetter(stageLetter))
        m_openInViewer(stage->logPath);
}

void Mainmenu::setBusy(bool busy)
{
    setBusyPointer(busy);
}

void Mainmenu::setWindowEnabled(bool enabled)
{
    setEnabled(enabled);
}

void Mainmenu::pause(int milliseconds)
{
    // Blocks on purpose: the window takes no input during the end pause.
    QThread::msleep(static_cast<unsigned long>(qMax(0, milliseconds)));
}

} // namespace qelvrin
