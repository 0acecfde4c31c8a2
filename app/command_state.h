#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace qelvrin {

class DriveMap;

// Enabled flags of every command that stage control switches, keyed by the
// control's object name: mnuDelete, the Run and View menus with their items,
// and the three stage buttons. The window copies it onto its controls.
class CommandState {
public:
    // As the window opens, before the stage outputs are looked at.
    CommandState();

    bool isEnabled(const QString& name) const;
    QStringList names() const { return m_enabled.keys(); }
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
    void set(const QString& name, bool enabled);

    QMap<QString, bool> m_enabled;
};

// The View menu items in menu order, with the stage output each one opens.
struct ViewItem {
    QString name;
    QString dosPath;
};
QList<ViewItem> viewItems();

} // namespace qelvrin
