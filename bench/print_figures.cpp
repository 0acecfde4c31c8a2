#include "bench/print_figures.h"

#include "bench/bench_dialogs.h"
#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/figure.h"
#include "bench/steps.h"
#include "bench/timing.h"
#include "platform/drive_map.h"
#include "platform/line_reader.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QDir>
#include <QPointer>
#include <QFileInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>

#include <memory>

namespace qelvrin::bench {

namespace {

const QString kExpectedMessage = QStringLiteral("Printed 100 pages");

// The floor for the same job: every line drawn in the same font, a new page
// at each form feed, no caption or pointer changes.
void printDirect(const QString& path, const QFont& font, const QString& pdfPath)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    QPainter painter(&printer);
    painter.setFont(font);
    const int lineHeight = painter.fontMetrics().lineSpacing();
    const int top = painter.fontMetrics().ascent();
    int y = top;
    LineReader reader(path);
    while (const auto line = reader.next()) {
        QByteArrayView text = *line;
        if (text.startsWith('\f')) {
            text = text.sliced(1);
            printer.newPage();
            y = top;
        }
        painter.drawText(0, y, QString::fromLatin1(text.data(), text.size()));
        y += lineHeight;
    }
}

} // namespace

// Each run times the command from its click to the end of its box, which
// comes once the worker has read and drawn the file.
void printCommandFigure(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot,
                        const std::function<void()>& done)
{
    auto figure = std::make_shared<Figure>();
    figure->name = QStringLiteral("print 100 pages to PDF");
    figure->input = inputs.report.label;
    figure->inputBytes = inputs.report.bytes;

    auto launcher = std::make_shared<ViewerLauncher>(DriveMap(driveRoot), dialogs, QString(), [] {});
    launcher->OpenInViewer(inputs.report.path);
    const QPointer<ViewFile> window = launcher->window();
    const QString pdfPath = QDir(QFileInfo(inputs.report.path).path()).filePath(QStringLiteral("print.pdf"));
    const auto finish = [figure, launcher, window, &dialogs, inputs, runs = options.runs, pdfPath, done] {
        const bool opened = figure->failure.isEmpty();
        if (opened && dialogs.lastMessage() != kExpectedMessage) {
            figure->seconds.clear();
            figure->failure = QStringLiteral("the print command said \"%1\"").arg(dialogs.lastMessage());
        } else if (opened) {
            const QString directPdf = QDir(QFileInfo(inputs.report.path).path()).filePath(QStringLiteral("print-direct.pdf"));
            const QFont font = window->text1()->font();
            figure->references << Reference{QStringLiteral("QPainter straight to PDF"), timeRuns(runs, [&] { printDirect(inputs.report.path, font, directPdf); }), {}};
            figure->detail = QStringLiteral("%1 PDF, font %2 %3 pt").arg(formatBytes(double(QFileInfo(pdfPath).size())), font.family()).arg(font.pointSizeF());
        }
        printFigure(*figure);
        done();
    };
    // The load runs on its own threads: the printout starts after its end.
    afterReading(window, [figure, window, &dialogs, runs = options.runs, pdfPath, finish] {
        if (!window) {
            figure->failure = QStringLiteral("the viewer did not open: %1").arg(dialogs.lastMessage());
            finish();
            return;
        }
        dialogs.setPdfPath(pdfPath);
        auto run = std::make_shared<std::function<void()>>();
        *run = [figure, window, runs, finish, run] {
            if (!window || figure->seconds.size() == runs) {
                finish();
                *run = nullptr; // ends the cycle the function holds on itself
                return;
            }
            const Clock::time_point start = Clock::now();
            window->mnuprint_Click();
            afterReading(window, [figure, start, run] {
                figure->seconds.append(secondsSince(start));
                (*run)();
            });
        };
        (*run)();
    });
}

} // namespace qelvrin::bench
