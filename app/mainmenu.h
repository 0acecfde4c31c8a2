#pragma once

#include "app/command_state.h"
#include "platform/drive_map.h"
#include "platform/single_instance.h"
#include "stages/stage_host.h"
#include "stages/stage_runner.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QMainWindow>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace qelvrin {

class CompletionPanel;
class InfoWindow;

// The main window: the three stage buttons, the completion bar, Quit and the
// menus. Its handlers call into stage control; the command state decides
// what is enabled.
class Mainmenu : public QMainWindow, public StageHost {
    Q_OBJECT

public:
    using ViewerOpener = std::function<void(const QString& dosPath)>;

    Mainmenu(const DriveMap& drives, Dialogs& dialogs, ViewerOpener openInViewer, QWidget* parent = nullptr);
    ~Mainmenu() override;

    // Ends the program at once, without any further handler. By default the
    // event loop is left.
    void setEndProgram(std::function<void()> endProgram) { m_endProgram = std::move(endProgram); }
    // How a termination signal finally ends the program; by default as the
    // signal itself would have.
    void setEndOnSignal(std::function<void(int)> endOnSignal) { m_endOnSignal = std::move(endOnSignal); }

    // The start-up sequence; false for a second copy, which must end
    // without showing the window.
    bool Form_Load();

    StageRunner& runner() { return m_runner; }
    const CommandState& commandState() const { return m_commands; }

    // StageHost
    Dialogs& dialogs() override { return m_dialogs; }
    void LockCommands() override;
    void UnlockCommands() override;
    void RefreshStageCommands() override;
    void PurgeStageData() override;
    void setRunningProgramName(const QString& name) override;
    void setCompletionBar(int percent, bool overrun) override;
    void setProgressPanelVisible(bool visible) override;
    bool displayProgressChecked() const override;
    bool displayLogOnAbendChecked() const override;
    bool isMinimised() const override;
    void setCaption(const QString& caption) override;
    void showDoneMark(QChar stageLetter) override;
    void openStageLog(QChar stageLetter) override;
    void setBusy(bool busy) override;
    void setWindowEnabled(bool enabled) override;
    void pause(int milliseconds) override;

public Q_SLOTS:
    void mnuexit_Click();
    void mnuDelete_Click();
    // A stage's Run item and button: the data load with its diskettes, or
    // the launch of an assessment.
    void runStage(QChar stageLetter);
    void mnuObtTecSup_Click();
    void mnuAboutInorganic_Click();
    void cmdQuit_Click() { mnuexit_Click(); }
    // SIGTERM, SIGHUP or SIGINT (a kill, a logout, Ctrl-C).
    void terminationRequested(int signalNumber);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildLabelsAndButtons(QWidget* client);
    void buildMenus();
    void buildRunMenu();
    void buildViewMenu();
    QMenu* addCommandMenu(Command command, const QString& title);
    QAction* addCommandItem(QMenu* menu, CommandId id, const QString& caption);
    QAction* action(const QString& name) const;
    void applyCommandState();
    void Form_Resize();
    void focusFirstButton();
    void describeDoneStage(QChar stageLetter);
    // Runs Exit; true when the program was ended.
    bool runExit();
    void endProgram();

    DriveMap m_drives;
    Dialogs& m_dialogs;
    ViewerOpener m_openInViewer;
    std::function<void()> m_endProgram;
    std::function<void(int)> m_endOnSignal;
    SingleInstanceGuard m_guard;
    StageRunner m_runner;
    CommandState m_commands;
    bool m_shown = false;

    QHash<QString, QAction*> m_actions;   // menu items and menu titles by name
    // The controls of the switched commands.
    QMap<CommandId, QAction*> m_commandActions;
    QMap<CommandId, QPushButton*> m_commandButtons;
    QList<QPushButton*> m_focusOrder;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    CompletionPanel* m_panel = nullptr;
    InfoWindow* m_frmAbout = nullptr;
    InfoWindow* m_frmTechSupport = nullptr;
};

} // namespace qelvrin
