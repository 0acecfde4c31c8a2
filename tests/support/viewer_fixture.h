#pragma once

#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace qelvrin::testing {

inline const QByteArray kInstalledFont =
    "ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n";
inline const QString kSettingsFile = QStringLiteral("\\QELVRIN\\PCVQS.INI");

// `count` lines "line N", with `extra` after the lines it names and a form
// feed before those in `formFeedAt`.
inline QByteArray numberedLines(int count, const QMap<int, QByteArray>& extra = {}, const QList<int>& formFeedAt = {})
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += (formFeedAt.contains(n) ? "\f" : "") + QByteArray("line ") + QByteArray::number(n) + extra.value(n) + "\r\n";
    return bytes;
}

// A drive with the installed settings file, the install directory as the
// working directory (as the program runs), scripted dialogs and a launcher.
class ViewerFixture {
public:
    ViewerFixture()
    {
        drive.write(kSettingsFile, kInstalledFont);
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(drive.native(QStringLiteral("\\QELVRIN")));
        launcher = std::make_unique<ViewerLauncher>(drive.drives(), dialogs, QString(), [] {});
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
        if (!launcher->window())
            qFatal("the viewer did not open %s", qPrintable(dosPath));
        return *launcher->window();
    }

    TempDrive drive;
    ScriptedDialogs dialogs;
    std::unique_ptr<ViewerLauncher> launcher;

private:
    QString m_previousDir;
};

inline bool pointerIsDefault()
{
    return QApplication::overrideCursor() == nullptr;
}

} // namespace qelvrin::testing
