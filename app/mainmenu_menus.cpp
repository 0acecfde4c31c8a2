#include "app/command_state.h"
#include "app/mainmenu.h"
#include "stages/stage_table.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace qelvrin {

namespace {

enum class Kind { Item, Separator, Checked };

struct ItemSpec {
    const char* name;
    const char* caption;
    Kind kind;
    bool enabled;
    void (Mainmenu::*handler)();
};

struct MenuSpec {
    const char* name;
    const char* title;
    QList<ItemSpec> items;
};

// The menus that hold no stage's commands; Delete's state is the command
// state's.
const MenuSpec& fileMenu()
{
    static const MenuSpec spec{"mnuFile", "&File", {
        {"mnuDelete", "&Delete", Kind::Item, false, &Mainmenu::mnuDelete_Click},
        {"mnuFSeparator", "-", Kind::Separator, true, nullptr},
        {"mnuExit", "E&xit", Kind::Item, true, &Mainmenu::mnuexit_Click},
    }};
    return spec;
}

const MenuSpec& optionsMenu()
{
    static const MenuSpec spec{"mnuOption", "&Options", {
        {"mnuDisplayProgress", "Display &Progress", Kind::Checked, true, nullptr},
        {"mnuDisplayLogAbend", "Display &Log on Abend", Kind::Checked, true, nullptr},
    }};
    return spec;
}

const MenuSpec& helpMenu()
{
    static const MenuSpec spec{"mnuHelp", "&Help", {
        {"mnuContents", "&Contents", Kind::Item, false, nullptr},
        {"mnuObtTecSup", "&Obtaining Technical Support", Kind::Item, true, &Mainmenu::mnuObtTecSup_Click},
        {"mnuHSeparator", "-", Kind::Separator, true, nullptr},
        {"mnuAboutInorganic", "&About Inorganic VQS QELVR", Kind::Item, true, &Mainmenu::mnuAboutInorganic_Click},
    }};
    return spec;
}

} // namespace

void Mainmenu::buildMenus()
{
    const auto addFixedMenu = [this](const MenuSpec& spec) {
        QMenu* menu = menuBar()->addMenu(QLatin1String(spec.title));
        menu->setObjectName(QLatin1String(spec.name));
        m_actions.insert(menu->objectName(), menu->menuAction());
        for (const ItemSpec& item : spec.items) {
            QAction* entry = item.kind == Kind::Separator ? menu->addSeparator() : menu->addAction(QLatin1String(item.caption));
            entry->setObjectName(QLatin1String(item.name));
            entry->setEnabled(item.enabled);
            entry->setCheckable(item.kind == Kind::Checked);
            entry->setChecked(item.kind == Kind::Checked);
            if (item.handler)
                connect(entry, &QAction::triggered, this, item.handler);
            m_actions.insert(entry->objectName(), entry);
        }
    };
    addFixedMenu(fileMenu());
    m_commandActions.insert({Command::Delete}, action(controlName({Command::Delete})));
    buildRunMenu();
    buildViewMenu();
    addFixedMenu(optionsMenu());
    addFixedMenu(helpMenu());
}

QMenu* Mainmenu::addCommandMenu(Command command, const QString& title)
{
    QMenu* menu = menuBar()->addMenu(title);
    menu->setObjectName(controlName({command}));
    m_actions.insert(menu->objectName(), menu->menuAction());
    m_commandActions.insert({command}, menu->menuAction());
    return menu;
}

QAction* Mainmenu::addCommandItem(QMenu* menu, CommandId id, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(controlName(id));
    m_actions.insert(item->objectName(), item);
    m_commandActions.insert(id, item);
    return item;
}

void Mainmenu::buildRunMenu()
{
    QMenu* run = addCommandMenu(Command::RunMenu, QStringLiteral("&Run"));
    for (const StageInfo& stage : stageTable()) {
        QAction* item = addCommandItem(run, {Command::RunStage, stage.letter}, stage.controls.runCaption);
        connect(item, &QAction::triggered, this, [this, letter = stage.letter] { runStage(letter); });
    }
}

void Mainmenu::buildViewMenu()
{
    // The reports, then the logs.
    QMenu* view = addCommandMenu(Command::ViewMenu, QStringLiteral("&View"));
    bool logs = false;
    for (const StageOutput& output : stageOutputs()) {
        if (!output.viewedAs)
            continue;
        if (!output.report && !logs) {
            logs = true;
            view->addSeparator()->setObjectName(QStringLiteral("mnuVSeparator"));
        }
        const StageControls& controls = output.viewedAs->controls;
        QAction* item = addCommandItem(view, viewCommand(output), output.report ? controls.reportCaption : controls.logCaption);
        connect(item, &QAction::triggered, this, [this, path = output.path] { m_openInViewer(path); });
    }
}

QAction* Mainmenu::action(const QString& name) const
{
    QAction* found = m_actions.value(name);
    Q_ASSERT_X(found, "Mainmenu::action", qPrintable(name));
    return found;
}

} // namespace qelvrin
