#include "viewer/viewer_launcher.h"

#include "viewer/view_file.h"

namespace qelvrin {

ViewerLauncher::ViewerLauncher(const DriveMap& drives, Dialogs& dialogs, QString commandLineText, std::function<void()> endProgram)
    : m_drives(drives), m_dialogs(dialogs), m_commandLineText(std::move(commandLineText)), m_endProgram(std::move(endProgram))
{
}

ViewerLauncher::~ViewerLauncher()
{
    delete m_window.data();
}

QString ViewerLauncher::nativePath(const QString& fileName) const
{
    if (fileName.startsWith(QLatin1Char('/')))
        return fileName;
    return m_drives.toNativeNoCase(fileName);
}

void ViewerLauncher::endProgram() const
{
    if (m_endProgram)
        m_endProgram();
}

void ViewerLauncher::OpenInViewer(const QString& path)
{
    ViewFileName = path;
    if (!m_window)
        m_window = new ViewFile(*this);
    if (!m_window->Form_Load()) {
        // Nothing readable to show: no empty window stays behind.
        ViewFile* failed = m_window;
        m_window = nullptr;
        failed->hide();
        failed->deleteLater();
        return;
    }
    // A minimised viewer comes back as it was before (normal or maximised).
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace qelvrin
