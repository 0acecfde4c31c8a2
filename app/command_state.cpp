#include "app/command_state.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "stages/stage_table.h"

namespace qelvrin {

namespace {

const QString kDelete = QStringLiteral("mnuDelete");
const QString kRunMenu = QStringLiteral("mnuRun");
const QString kViewMenu = QStringLiteral("mnuView");

// Data Load makes the data file; the stages that print a report read it, so
// the data file gates their commands.
bool readsDataFile(const StageInfo& stage)
{
    return !stage.reportPath.isEmpty();
}

bool isDataFile(const StageOutput& output)
{
    return output.viewItemName.isEmpty();
}

} // namespace

CommandState::CommandState()
{
    set(kDelete, false);
    set(kRunMenu, true);
    set(kViewMenu, true);
    for (const StageInfo& stage : stageTable()) {
        set(stage.menuItemName, !readsDataFile(stage));
        set(stage.buttonName, !readsDataFile(stage));
    }
    for (const StageOutput& output : stageOutputs()) {
        if (!isDataFile(output))
            set(output.viewItemName, false);
    }
}

bool CommandState::isEnabled(const QString& name) const
{
    Q_ASSERT_X(m_enabled.contains(name), "CommandState", qPrintable(name));
    return m_enabled.value(name);
}

void CommandState::set(const QString& name, bool enabled)
{
    m_enabled.insert(name, enabled);
}

void CommandState::RefreshStageCommands(const DriveMap& drives)
{
    for (const StageOutput& output : stageOutputs()) {
        if (!files::isPlainFile(drives.toNative(output.path)))
            continue;
        set(kDelete, true);
        if (!isDataFile(output)) {
            set(output.viewItemName, true);
            continue;
        }
        for (const StageInfo& stage : stageTable()) {
            set(stage.menuItemName, true);
            if (readsDataFile(stage))
                set(stage.buttonName, true);
        }
    }
}

void CommandState::PurgeStageData(const DriveMap& drives)
{
    for (const StageOutput& output : stageOutputs()) {
        const QString path = drives.toNative(output.path);
        // One that will not go (read-only folder, a folder of its name) is
        // left; the rest are still deleted. A link goes, its target stays.
        files::remove(path);
    }
    set(kDelete, false);
    for (const StageInfo& stage : stageTable()) {
        if (readsDataFile(stage))
            set(stage.menuItemName, false);
    }
    for (const StageOutput& output : stageOutputs()) {
        if (!isDataFile(output))
            set(output.viewItemName, false);
    }
    for (const StageInfo& stage : stageTable()) {
        if (readsDataFile(stage))
            set(stage.buttonName, false);
    }
}

void CommandState::LockCommands()
{
    set(kRunMenu, false);
    set(kViewMenu, false);
    set(kDelete, false);
    for (const StageInfo& stage : stageTable())
        set(stage.buttonName, false);
}

void CommandState::UnlockCommands()
{
    set(kRunMenu, true);
    set(kViewMenu, true);
    set(kDelete, true);
    for (const StageInfo& stage : stageTable())
        set(stage.buttonName, true);
}

QList<ViewItem> viewItems()
{
    // Menu order: the two reports, then the three logs.
    QList<ViewItem> items;
    for (const StageOutput& output : stageOutputs()) {
        if (!isDataFile(output))
            items.append({output.viewItemName, output.path});
    }
    return items;
}

} // namespace qelvrin
