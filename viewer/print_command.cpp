#include "viewer/print_command.h"

#include "widgets/busy_pointer.h"
#include "dialogs/dialogs.h"
#include "platform/line_reader.h"
#include "viewer/latin1_case.h"
#include "viewer/print_pages.h"
#include "viewer/printer_page_sink.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QWidget>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

namespace qelvrin {

namespace {

// The code the printer's own failures carry ("Printer error").
constexpr int kPrinterError = 482;

const QString kTitle = QStringLiteral("QELVRIN: Print");
const QString kErrorTitle = QStringLiteral("QELVRIN: Print Error");

void reportFailure(Dialogs& dialogs, const QString& text)
{
    dialogs.message({text, MsgIcon::None, MsgButtons::Ok, kErrorTitle});
}

void reportPrinterFailure(Dialogs& dialogs)
{
    reportFailure(dialogs, QStringLiteral("ERROR %1 occurred.").arg(kPrinterError));
}

void reportUnreadable(Dialogs& dialogs, const ViewedFile& file, const QString& reason)
{
    reportFailure(dialogs, QStringLiteral("Cannot print ") + file.shownName + QStringLiteral(": ") + reason);
}

// The text area's font as the printer is to use it; nullopt when it has no
// face or no size in points, which no printer can take.
std::optional<QFont> printerFont(const QFont& shown)
{
    const QString face = shown.family();
    const qreal size = shown.pointSizeF();
    if (face.trimmed().isEmpty() || !(size > 0))
        return std::nullopt;
    QFont font(face);
    font.setStyleHint(shown.styleHint());
    font.setPointSizeF(size);
    font.setBold(shown.bold());
    font.setItalic(shown.italic());
    return font;
}

// The job, set up on the GUI thread and then drawn, told and ended on one
// worker: a printer's fonts belong to the thread that drew with them.
struct PrintJob {
    QPrinter printer{QPrinter::HighResolution};
    QPainter painter;
};

struct PrintEnd {
    PrintedPages printed;
    QString readError; // set when the file could not be read
    bool released = false;
};

// The count's box, shown on the GUI thread while the worker waits to end
// the job; a box posted for a job abandoned meanwhile is not shown.
struct CountTold {
    std::mutex mutex;
    std::condition_variable answered;
    bool told = false;
    bool abandoned = false;
};

bool tellCount(Dialogs& dialogs, QWidget& window, int pages, const std::atomic_bool& abandoned)
{
    auto count = std::make_shared<CountTold>();
    QMetaObject::invokeMethod(&window, [&dialogs, pages, count] {
        {
            const std::lock_guard lock(count->mutex);
            if (count->abandoned)
                return;
        }
        dialogs.message({QStringLiteral("Printed %1 pages").arg(pages), MsgIcon::None, MsgButtons::Ok, kTitle});
        const std::lock_guard lock(count->mutex);
        count->told = true;
        count->answered.notify_all();
    }, Qt::QueuedConnection);
    std::unique_lock lock(count->mutex);
    // Abandoning only sets its flag: it is looked at now and then.
    while (!count->told && !abandoned.load())
        count->answered.wait_for(lock, std::chrono::milliseconds(20));
    count->abandoned = !count->told;
    return count->told;
}

// Runs on the worker: reads the file and draws it, telling the window each
// new page's number through its event queue, and the count at the end.
PrintEnd printFile(PrintJob& job, const QFont& font, const QString& path, QWidget& window, Dialogs& dialogs, const std::atomic_bool& abandoned)
{
    PrintEnd end;
    LineReader reader(path);
    if (!reader.isOpen()) {
        end.readError = reader.errorString();
        return end;
    }
    if (!job.painter.begin(&job.printer))
        return end;
    job.painter.setFont(font);
    PrinterPageSink sink(job.painter, job.printer);
    end.printed = printPages(reader, sink, [&window](int page) {
        QMetaObject::invokeMethod(&window, [&window, page] {
            window.setWindowTitle(QStringLiteral("Printing page ") + QString::number(page));
        }, Qt::QueuedConnection);
    }, &abandoned);
    if (end.printed.outcome == PrintedPages::Outcome::ReadFailed)
        end.readError = reader.errorString();
    // The count is told while the hourglass still shows; the job is released
    // once the operator has read it. Half a printout is no use: it goes
    // nowhere.
    if (end.printed.outcome == PrintedPages::Outcome::Done && tellCount(dialogs, window, end.printed.pages, abandoned)) {
        end.released = job.painter.end();
    } else {
        job.printer.abort();
        job.painter.end();
    }
    return end;
}

// Back on the GUI thread: the pointer and caption back, then any failure.
void printEnded(Dialogs& dialogs, QWidget& window, const QString& caption, const ViewedFile& file, const PrintEnd& end)
{
    setBusyPointer(false);
    window.setWindowTitle(caption);
    if (!end.readError.isNull())
        reportUnreadable(dialogs, file, end.readError);
    else if (!end.released)
        reportPrinterFailure(dialogs);
}

} // namespace

void runPrintCommand(Dialogs& dialogs, QWidget& window, const QFont& font, const ViewedFile& file,
                     const std::function<void(WorkerTask::Work)>& offThread)
{
    auto job = std::make_shared<PrintJob>();
    // The job's name, a PDF's title, and the name a PDF file is offered under.
    job->printer.setDocName(QFileInfo(file.nativePath).fileName());
    if (!dialogs.setupPrinter(job->printer))
        return; // Cancel: nothing to say

    const std::optional<QFont> printFont = printerFont(font);
    if (!printFont) {
        reportFailure(dialogs, QStringLiteral("ERROR 380: Font: ") + latin1Upper(font.family())
                                   + QStringLiteral(" is not usable by the printer.\r\nPlease try a different font."));
        return;
    }

    setBusyPointer(true);
    window.repaint();
    const QString caption = window.windowTitle();
    offThread([&dialogs, &window, job, printFont = *printFont, file, caption](const std::atomic_bool& abandoned) -> WorkerTask::Then {
        const PrintEnd end = printFile(*job, printFont, file.nativePath, window, dialogs, abandoned);
        return [&dialogs, &window, file, caption, end] { printEnded(dialogs, window, caption, file, end); };
    });
}

} // namespace qelvrin
