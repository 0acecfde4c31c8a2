#pragma once

#include "support/numbered_lines.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace qelvrin::testing {

inline const QString kSettingsFile = QStringLiteral("\\QELVRIN\\PCVQS.INI");

// A drive with the installed settings file, the install directory as the
// working directory (as the program runs), scripted dialogs (or `real` ones)
// and a launcher whose end of the program is only counted.
class ViewerFixture {
public:
    explicit ViewerFixture(Dialogs* real = nullptr)
    {
        drive.write(kSettingsFile, kInstalledFont);
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(drive.native(QStringLiteral("\\QELVRIN")));
        launcher = std::make_unique<ViewerLauncher>(drive.drives(), real ? *real : dialogs, QString(), [this] { ++endProgramCalls; });
    }
    ~ViewerFixture()
    {
        launcher.reset();
        QDir::setCurrent(m_previousDir);
    }

    ViewFile& open(const QString& dosPath, const QByteArray& bytes)
    {
        drive.write(dosPath, bytes);
        launcher->OpenInViewer(dosPath);
        const QPointer<ViewFile> window = launcher->window();
        if (!window || !QTest::qWaitFor([&] { return !window || !window->reading(); }) || !window)
            qFatal("the viewer did not open %s", qPrintable(dosPath));
        return *window;
    }

    TempDrive drive;
    ScriptedDialogs dialogs;
    std::unique_ptr<ViewerLauncher> launcher;
    int endProgramCalls = 0;

private:
    QString m_previousDir;
};

inline bool pointerIsDefault()
{
    return QApplication::overrideCursor() == nullptr;
}

} // namespace qelvrin::testing
