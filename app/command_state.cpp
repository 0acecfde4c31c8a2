#include "app/command_state.h"

#include "platform/drive_map.h"
#include "platform/file_ops.h"
#include "stages/stage_table.h"

namespace qelvrin {

namespace {

// The stage that makes the data file; the stages that read it are gated by it.
bool readsDataFile(const StageInfo& stage)
{
    return stage.role == StageRole::ReadsData;
}

} // namespace

CommandId viewCommand(const StageOutput& output)
{
    return {output.report ? Command::ViewReport : Command::ViewLog, output.viewedAs->letter};
}

QString controlName(CommandId id)
{
    const StageInfo* stage = stageByLetter(id.stage);
    switch (id.command) {
    case Command::Delete:
        return QStringLiteral("mnuDelete");
    case Command::RunMenu:
        return QStringLiteral("mnuRun");
    case Command::ViewMenu:
        return QStringLiteral("mnuView");
    case Command::RunStage:
        return stage ? stage->controls.runItem : QString();
    case Command::StageButton:
        return stage ? stage->controls.button : QString();
    case Command::ViewReport:
        return stage ? stage->controls.reportItem : QString();
    case Command::ViewLog:
        return stage ? stage->controls.logItem : QString();
    }
    return {};
}

CommandState::CommandState()
{
    set({Command::Delete}, false);
    set({Command::RunMenu}, true);
    set({Command::ViewMenu}, true);
    for (const StageInfo& stage : stageTable()) {
        set({Command::RunStage, stage.letter}, !readsDataFile(stage));
        set({Command::StageButton, stage.letter}, !readsDataFile(stage));
    }
    disableViewItems();
}

bool CommandState::isEnabled(CommandId id) const
{
    return m_enabled.value(id);
}

void CommandState::setEveryStage(Command command, bool enabled)
{
    for (const StageInfo& stage : stageTable())
        set({command, stage.letter}, enabled);
}

void CommandState::setDataReaders(Command command, bool enabled)
{
    for (const StageInfo& stage : stageTable()) {
        if (readsDataFile(stage))
            set({command, stage.letter}, enabled);
    }
}

void CommandState::disableViewItems()
{
    for (const StageOutput& output : stageOutputs()) {
        if (output.viewedAs)
            set(viewCommand(output), false);
    }
}

void CommandState::RefreshStageCommands(const DriveMap& drives)
{
    for (const StageOutput& output : stageOutputs()) {
        if (!files::isPlainFile(drives.toNative(output.path)))
            continue;
        set({Command::Delete}, true);
        if (output.viewedAs) {
            set(viewCommand(output), true);
            continue;
        }
        setEveryStage(Command::RunStage, true);
        setDataReaders(Command::StageButton, true);
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
    set({Command::Delete}, false);
    setDataReaders(Command::RunStage, false);
    disableViewItems();
    setDataReaders(Command::StageButton, false);
}

void CommandState::LockCommands()
{
    set({Command::RunMenu}, false);
    set({Command::ViewMenu}, false);
    set({Command::Delete}, false);
    setEveryStage(Command::StageButton, false);
}

void CommandState::UnlockCommands()
{
    set({Command::RunMenu}, true);
    set({Command::ViewMenu}, true);
    set({Command::Delete}, true);
    setEveryStage(Command::StageButton, true);
}

} // namespace qelvrin
