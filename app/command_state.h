#pragma once

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>

#include <tuple>

namespace qelvrin {

class DriveMap;
struct StageOutput;

// The commands that stage control switches on and off.
enum class Command {
    Delete,      // mnuDelete
    RunMenu,     // the Run and View menu titles
    ViewMenu,
    RunStage,    // a stage's Run menu item
    StageButton, // a stage's button
    ViewReport,  // a stage's View items
    ViewLog,
};

// A command, with the letter of its stage for the stage commands (blank for
// the others).
struct CommandId {
    Command command;
    QChar stage = QLatin1Char(' ');

    bool operator==(const CommandId&) const = default;
    friend bool operator<(const CommandId& a, const CommandId& b)
    {
        return std::tuple(a.command, a.stage.unicode()) < std::tuple(b.command, b.stage.unicode());
    }
};

// The object name of the command's control in the window.
QString controlName(CommandId id);

// The View item that shows a stage output; only for an output a stage's
// View item shows (viewedAs set).
CommandId viewCommand(const StageOutput& output);

// Enabled flags of every command that stage control switches: mnuDelete,
// the Run and View menus with their items, and the stage buttons. The window
// copies it onto its controls.
class CommandState {
public:
    // As the window opens, before the stage outputs are looked at.
    CommandState();

    bool isEnabled(CommandId id) const;
    QList<CommandId> commands() const { return m_enabled.keys(); }
    bool operator==(const CommandState&) const = default;

    // Enables what the stage outputs present on the drive allow; never disables.
    void RefreshStageCommands(const DriveMap& drives);
    // Deletes the stage outputs (a file that will not go does not stop the
    // rest) and disables the commands that depend on them.
    void PurgeStageData(const DriveMap& drives);
    // The Run and View menu titles, Delete and the stage buttons; the items
    // under the menus keep their own state.
    void LockCommands();
    void UnlockCommands();

private:
    void set(CommandId id, bool enabled) { m_enabled.insert(id, enabled); }
    void setEveryStage(Command command, bool enabled);
    void setDataReaders(Command command, bool enabled);
    void disableViewItems();

    QMap<CommandId, bool> m_enabled;
};

} // namespace qelvrin
