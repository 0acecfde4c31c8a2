#include "bench/draw_figures.h"

#include "bench/bench_dialogs.h"
#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/figure.h"
#include "bench/timing.h"
#include "platform/drive_map.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QApplication>
#include <QPointer>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>
#include <array>

namespace qelvrin::bench {

namespace {

// One frame at 60 Hz.
constexpr double kDrawTargetSeconds = 16e-3;
// Drawing is quick: more runs give a steadier median.
constexpr int kMinDrawRuns = 25;

struct Position {
    const char* name;
    qint64 line = 1;
};

std::array<Position, 3> positionsOf(qint64 lineCount)
{
    const qint64 last = qMax<qint64>(1, lineCount);
    return {{{"draw first line", 1}, {"draw middle line", qMax<qint64>(1, last / 2)}, {"draw last line", last}}};
}

struct DrawTimes {
    QList<double> total;
    QList<double> text;  // handing the text over, caption included
    QList<double> paint; // Text1 repainting itself
};

DrawTimes timeDrawing(ViewFile& window, qint64 line, int runs)
{
    window.vscroll1()->setValue(int(line));
    QWidget* text = window.text1()->viewport();
    DrawTimes times;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        window.vscroll1_Change();
        const double handed = secondsSince(start);
        text->repaint();
        const double total = secondsSince(start);
        times.total.append(total);
        times.text.append(handed);
        times.paint.append(total - handed);
    }
    return times;
}

} // namespace

void drawFigures(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot)
{
    const int runs = qMax(options.runs, kMinDrawRuns);
    ViewerLauncher launcher(DriveMap(driveRoot), dialogs, QString(), [] {});
    QList<BenchFile> files = inputs.logs;
    files << inputs.longLines;
    std::array<QList<double>, 3> smallest;

    for (qsizetype f = 0; f < files.size(); ++f) {
        const BenchFile& file = files[f];
        launcher.OpenInViewer(file.path);
        QPointer<ViewFile> window = launcher.window();
        // The bench drives the window itself: it lets the load's end and the
        // first paint arrive before it times the drawing.
        while (window && window->reading())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (window)
            QApplication::processEvents();
        const std::array<Position, 3> positions = positionsOf(window ? window->document().LineCount() : 0);
        for (size_t p = 0; p < positions.size(); ++p) {
            Figure figure;
            figure.name = QLatin1String(positions[p].name);
            figure.input = file.label;
            figure.inputBytes = file.bytes;
            if (!window) {
                figure.failure = QStringLiteral("the viewer did not open: %1").arg(dialogs.lastMessage());
                printFigure(figure);
                continue;
            }
            const DrawTimes times = timeDrawing(*window, positions[p].line, runs);
            figure.seconds = times.total;
            figure.detail = QStringLiteral("line %1, %2 characters; text %3, paint %4")
                                .arg(positions[p].line)
                                .arg(window->text1()->document()->characterCount())
                                .arg(formatDuration(median(times.text)), formatDuration(median(times.paint)));
            if (f == 0)
                smallest[p] = figure.seconds;
            else
                figure.references << Reference{QStringLiteral("same line of %1").arg(files[0].label), smallest[p], {}};
            const double slowest = *std::max_element(times.total.cbegin(), times.total.cend());
            figure.detail += QStringLiteral(", slowest run %1").arg(formatDuration(slowest));
            figure.target = QStringLiteral("<= 16 ms");
            figure.holds = figure.medianSeconds() <= kDrawTargetSeconds;
            printFigure(figure);
        }
    }
}

} // namespace qelvrin::bench
