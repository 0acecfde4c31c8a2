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

// Puts the window's caption back however the command ends.
class CaptionKeeper {
public:
    explicit CaptionKeeper(QWidget& window) : m_window(window), m_caption(window.windowTitle()) {}
    ~CaptionKeeper() { m_window.setWindowTitle(m_caption); }
    CaptionKeeper(const CaptionKeeper&) = delete;
    CaptionKeeper& operator=(const CaptionKeeper&) = delete;

private:
    QWidget& m_window;
    QString m_caption;
};

} // namespace

void runPrintCommand(Dialogs& dialogs, QWidget& window, const QFont& font, const ViewedFile& file)
{
    QPrinter printer(QPrinter::HighResolution);
    // The job's name, a PDF's title, and the name a PDF file is offered under.
    printer.setDocName(QFileInfo(file.nativePath).fileName());
    if (!dialogs.setupPrinter(printer))
        return; // Cancel: nothing to say

    const std::optional<QFont> printFont = printerFont(font);
    if (!printFont) {
        reportFailure(dialogs, QStringLiteral("ERROR 380: Font: ") + latin1Upper(font.family())
                                   + QStringLiteral(" is not usable by the printer.\r\nPlease try a different font."));
        return;
    }

    std::optional<BusyPointer> busy(std::in_place);
    window.repaint();
    const CaptionKeeper caption(window);

    LineReader reader(file.nativePath);
    if (!reader.isOpen()) {
        busy.reset();
        reportUnreadable(dialogs, file, reader.errorString());
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        busy.reset();
        reportPrinterFailure(dialogs);
        return;
    }
    painter.setFont(*printFont);
    PrinterPageSink sink(painter, printer);
    const PrintedPages printed = printPages(reader, sink, [&window](int page) {
        window.setWindowTitle(QStringLiteral("Printing page ") + QString::number(page));
    });

    if (printed.outcome != PrintedPages::Outcome::Done) {
        // Half a printout is no use: the job goes nowhere.
        printer.abort();
        painter.end();
        busy.reset();
        if (printed.outcome == PrintedPages::Outcome::ReadFailed)
            reportUnreadable(dialogs, file, reader.errorString());
        else
            reportPrinterFailure(dialogs);
        return;
    }
    // The count is told while the hourglass still shows; the job is released
    // once the operator has read it, and only then is the pointer back.
    dialogs.message({QStringLiteral("Printed %1 pages").arg(printed.pages), MsgIcon::None, MsgButtons::Ok, kTitle});
    const bool released = painter.end();
    busy.reset();
    if (!released)
        reportPrinterFailure(dialogs);
}

} // namespace qelvrin
