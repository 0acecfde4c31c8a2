#include "app/command_state.h"
#include "app/mainmenu.h"

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

// The View items are bound to the viewer through the stage outputs they show.
const QList<MenuSpec>& menuSpecs()
{
    static const QList<MenuSpec> specs{
        {"mnuFile", "&File", {
            {"mnuDelete", "&Delete", Kind::Item, false, &Mainmenu::mnuDelete_Click},
            {"mnuFSeparator", "-", Kind::Separator, true, nullptr},
            {"mnuExit", "E&xit", Kind::Item, true, &Mainmenu::mnuexit_Click},
        }},
        {"mnuRun", "&Run", {
            {"mnuRLoadDataProgram", "&Data Load Program...", Kind::Item, true, &Mainmenu::mnuRLoadDataProgram_Click},
            {"mnuRInitialAssesment", "&Initial Assessment", Kind::Item, false, &Mainmenu::mnuRInitialAssesment_Click},
            {"mnuRTechnicalDefect", "&Full Assessment", Kind::Item, false, &Mainmenu::mnuRTechnicalDefect_Click},
        }},
        {"mnuView", "&View", {
            {"mnuVInitialAssesmenuReport", "&Initial Assessment Report", Kind::Item, false, nullptr},
            {"mnuVTechnicalDefectReport", "&Full Assessment Report", Kind::Item, false, nullptr},
            {"mnuVSeparator", "-", Kind::Separator, true, nullptr},
            {"mnuVLoadDataLog", "&Data Load Log", Kind::Item, false, nullptr},
            {"mnuVInitialAssessmentLog", "I&nitial Assessment Log", Kind::Item, false, nullptr},
            {"mnuVTechnicalDefectLog", "F&ull Assessment Log", Kind::Item, false, nullptr},
        }},
        {"mnuOption", "&Options", {
            {"mnuDisplayProgress", "Display &Progress", Kind::Checked, true, nullptr},
            {"mnuDisplayLogAbend", "Display &Log on Abend", Kind::Checked, true, nullptr},
        }},
        {"mnuHelp", "&Help", {
            {"mnuContents", "&Contents", Kind::Item, false, nullptr},
            {"mnuObtTecSup", "&Obtaining Technical Support", Kind::Item, true, &Mainmenu::mnuObtTecSup_Click},
            {"mnuHSeparator", "-", Kind::Separator, true, nullptr},
            {"mnuAboutInorganic", "&About Inorganic VQS QELVR", Kind::Item, true, &Mainmenu::mnuAboutInorganic_Click},
        }},
    };
    return specs;
}

} // namespace

void Mainmenu::buildMenus()
{
    for (const MenuSpec& spec : menuSpecs()) {
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
    }
    for (const ViewItem& item : viewItems()) {
        connect(m_actions.value(item.name), &QAction::triggered, this, [this, path = item.dosPath] { m_openInViewer(path); });
    }
}

QAction* Mainmenu::action(const QString& name) const
{
    QAction* found = m_actions.value(name);
    Q_ASSERT_X(found, "Mainmenu::action", qPrintable(name));
    return found;
}

} // namespace qelvrin
