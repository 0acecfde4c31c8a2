#include "viewer/view_file.h"

#include "widgets/busy_pointer.h"
#include "dialogs/dialogs.h"
#include "widgets/window_look.h"
#include "settings/global.h"
#include "viewer/view_font_settings.h"
#include "viewer/view_paging.h"
#include "viewer/viewer_launcher.h"

#include <QPlainTextEdit>
#include <QScrollBar>

#include <climits>

// The window's file: asked for, loaded on a worker, and followed while a
// stage goes on writing it.
namespace qelvrin {

namespace {

// Appended bytes indexed on the GUI thread: no longer than a key press
// takes, and the view then takes input throughout.
constexpr qint64 kGrowthIndexedAtOnce = 1024 * 1024;
constexpr unsigned kMustExistNoReadOnlyBox = 0x1004;

const QString kOpenFilter = QStringLiteral("*.* | *.*| *.txt | *.txt| *.dat | *.dat | *.log | *.log");
const QString kNoFileName = QStringLiteral("No file name has been specified. Goodbye");

} // namespace

bool ViewFile::Form_Load()
{
    QString& fileName = m_launcher.ViewFileName;
    if (fileName.isEmpty())
        fileName = m_launcher.commandLineText();
    if (fileName.isEmpty()) {
        FileOpenRequest request;
        request.flags = kMustExistNoReadOnlyBox;
        request.filter = kOpenFilter;
        fileName = dialogs().openFile(request);
    }
    if (fileName.isEmpty()) {
        dialogs().message({kNoFileName, MsgIcon::None, MsgButtons::Ok, kApplicationTitle});
        m_launcher.endProgram();
        return false;
    }
    startLoad(fileName, 1);
    return true;
}

void ViewFile::reloadAt(qint64 line)
{
    startLoad(m_shownName, line);
}

// The hourglass shows from the start of the load to its end; the worker
// builds a document of its own, which replaces the shown one only here.
void ViewFile::startLoad(const QString& fileName, qint64 line)
{
    const QString path = m_launcher.nativePath(fileName);
    setBusyPointer(true);
    applyFontFromSettings();
    startReading([this, path, fileName, line](const std::atomic_bool& abandoned) -> WorkerTask::Then {
        auto document = std::make_shared<ViewDocument>();
        QString reason;
        if (!document->load(path, &reason, &abandoned))
            document.reset();
        return [this, document, fileName, reason, line] { loadEnded(document, fileName, reason, line); };
    });
}

void ViewFile::loadEnded(const std::shared_ptr<ViewDocument>& document, const QString& fileName, const QString& error, qint64 line)
{
    setBusyPointer(false);
    if (!document) {
        const QString path = m_launcher.nativePath(fileName);
        const QString shown = path.isEmpty() ? fileName : path;
        dialogs().message({QStringLiteral("Cannot open %1: %2").arg(shown, error), MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
        // Nothing readable to show: no window stays behind.
        hide();
        deleteLater();
        return;
    }
    m_document = document;
    m_shownName = fileName;
    // The minimum first, so a range left at 0 by an empty file is undone.
    m_vscroll1->setMinimum(1);
    m_vscroll1->setMaximum(int(qMin<qint64>(m_document->LineCount(), INT_MAX)));
    m_captionName = CaptionName(fileName);
    m_text1->setAccessibleName(fileName);
    {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setValue(int(qMin<qint64>(line, INT_MAX)));
    }
    // As a window opened anew: laid out for the font just read.
    Form_Resize();
    vscroll1_Change();
}

// Catches the view up with its file: new lines of a file that grew become
// reachable, and a file truncated or rewritten is loaded afresh at the
// same line. A few appended lines are indexed at once; more are indexed on
// a worker, like a load, and the view is drawn again at its end.
ViewDocument::Change ViewFile::followFile()
{
    if (m_reading.running())
        return ViewDocument::Change::None;
    if (m_document->unindexedBytes() > kGrowthIndexedAtOnce) {
        startReading([this, document = m_document](const std::atomic_bool& abandoned) -> WorkerTask::Then {
            const ViewDocument::Change change = document->refresh(&abandoned);
            return [this, change] {
                followed(change);
                DrawView();
            };
        });
        return ViewDocument::Change::Grown;
    }
    const ViewDocument::Change change = m_document->refresh();
    followed(change);
    return change;
}

void ViewFile::followed(ViewDocument::Change change)
{
    if (change == ViewDocument::Change::Grown) {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setMaximum(int(qMin<qint64>(m_document->LineCount(), INT_MAX)));
    } else if (change == ViewDocument::Change::Replaced) {
        reloadAt(m_vscroll1->value());
    }
}

void ViewFile::applyFontFromSettings()
{
    m_text1->setFont(look::viewerFont(readViewFont(Global(drives()))));
}

} // namespace qelvrin
