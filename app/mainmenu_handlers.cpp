#include "app/mainmenu.h"

#include "app/startup.h"
#include "dialogs/info_text.h"
#include "dialogs/info_window.h"
#include "dialogs/dialogs.h"
#include "stages/run_marker.h"
#include "stages/data_load.h"
#include "stages/stage_table.h"

#include <QCloseEvent>

namespace qelvrin {

bool Mainmenu::Form_Load()
{
    return runStartup(m_drives, m_guard, m_dialogs,
                      {[this] { PurgeStageData(); }, [this] { RefreshStageCommands(); }, [this](bool busy) { setBusy(busy); }});
}

void Mainmenu::endProgram()
{
    m_runner.Timer1().stop();
    m_endProgram();
}

bool Mainmenu::runExit()
{
    if (m_runner.sasRunning()) {
        const Answer answer = m_dialogs.message({QStringLiteral("The SAS Software is running. Do you want to quit? [If you select OK you will lose all your data files]"),
                                                 MsgIcon::Information, MsgButtons::OkCancel, QStringLiteral("QELVR") + QStringLiteral(" [notice]")});
        if (answer != Answer::Ok)
            return false;
        // The marker keeps the running stage's value, so the next start purges.
        m_runner.CloseSasWindow();
        endProgram();
        return true;
    }
    marker::write(marker::nativePath(m_drives), QLatin1String(marker::kNormal));
    endProgram();
    return true;
}

void Mainmenu::terminationRequested(int signalNumber)
{
    // Nobody is there to answer the quit question: while a stage runs it is
    // taken as answered OK, so the job is asked to close and the marker keeps
    // the launch's text. A data load between its diskettes has half-copied
    // data, which must not count as a clean end either.
    const bool dataLoadUnderway = !m_runner.state().StageLogPath.trimmed().isEmpty();
    if (m_runner.sasRunning())
        m_runner.CloseSasWindow();
    else if (!dataLoadUnderway)
        marker::write(marker::nativePath(m_drives), QLatin1String(marker::kNormal));
    m_runner.Timer1().stop();
    // At once: code waiting behind an open dialog must not go on.
    m_endOnSignal(signalNumber);
}

void Mainmenu::mnuexit_Click()
{
    runExit();
}

void Mainmenu::closeEvent(QCloseEvent* event)
{
    if (runExit())
        event->accept();
    else
        event->ignore();
}

void Mainmenu::mnuDelete_Click()
{
    const Answer answer = m_dialogs.message({QStringLiteral("This will purge all existing data and reports."), MsgIcon::Information,
                                             MsgButtons::OkCancel, QStringLiteral("Delete old data")});
    if (answer == Answer::Ok)
        PurgeStageData();
}

void Mainmenu::runStage(QChar stageLetter)
{
    const StageInfo* stage = stageByLetter(stageLetter);
    if (!stage)
        return;
    if (stage->role == StageRole::LoadsData)
        runDataLoadCommand(m_drives, *this, m_runner);
    else
        m_runner.launchAssessment(stageLetter);
}

void Mainmenu::mnuAboutInorganic_Click()
{
    const QString text = composeAboutText();
    if (!m_frmAbout)
        m_frmAbout = InfoWindow::createAbout(this);
    m_frmAbout->showText(text);
}

void Mainmenu::mnuObtTecSup_Click()
{
    const QString text = composeTechSupportText();
    if (!m_frmTechSupport)
        m_frmTechSupport = InfoWindow::createTechSupport(this);
    m_frmTechSupport->showText(text);
}

} // namespace qelvrin
