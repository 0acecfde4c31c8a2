#pragma once

#include "platform/drive_map.h"
#include "viewer/search_state.h"

#include <QPointer>
#include <QString>

#include <functional>

namespace qelvrin {

class Dialogs;
class ViewFile;

// Program-wide viewer state and the one way to show a file in the viewer.
class ViewerLauncher {
public:
    // `commandLineText` is the program's arguments as one text, the name of
    // last resort; `endProgram` ends the whole program at once.
    ViewerLauncher(const DriveMap& drives, Dialogs& dialogs, QString commandLineText, std::function<void()> endProgram);
    ~ViewerLauncher();
    ViewerLauncher(const ViewerLauncher&) = delete;
    ViewerLauncher& operator=(const ViewerLauncher&) = delete;

    // Shows the file (a DOS path such as "\QELVRIN\SDEFECT.TXT", or a native
    // absolute path) from line 1 in the viewer, creating the window or
    // restoring the open one from minimised and bringing it to the front.
    // A file that cannot be read is reported and leaves no viewer open.
    void OpenInViewer(const QString& path);

    // The file the viewer shows; search and printing read it anew.
    QString ViewFileName;

    // Native path for a name as ViewFileName holds it: a DOS path through
    // the drive map (last component matched without regard to case), a
    // native absolute path as it is.
    QString nativePath(const QString& fileName) const;

    ViewFile* window() const { return m_window; }
    SearchState& searchState() { return m_searchState; }
    const DriveMap& drives() const { return m_drives; }
    Dialogs& dialogs() const { return m_dialogs; }
    const QString& commandLineText() const { return m_commandLineText; }
    void endProgram() const;

private:
    DriveMap m_drives;
    Dialogs& m_dialogs;
    QString m_commandLineText;
    std::function<void()> m_endProgram;
    SearchState m_searchState;
    QPointer<ViewFile> m_window;
};

} // namespace qelvrin
