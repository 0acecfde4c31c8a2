#include "bench/draw_figures.h"

#include "bench/bench_dialogs.h"
#include "bench/bench_inputs.h"
#include "bench/bench_options.h"
#include "bench/figure.h"
#include "bench/steps.h"
#include "bench/timing.h"
#include "platform/drive_map.h"
#include "viewer/view_file.h"
#include "viewer/viewer_launcher.h"

#include <QPointer>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <algorithm>
#include <array>
#include <memory>

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

namespace {

struct DrawRun {
    QList<BenchFile> files;
    int runs = 0;
    std::unique_ptr<ViewerLauncher> launcher;
    std::array<QList<double>, 3> smallest;
};

void drawFile(const std::shared_ptr<DrawRun>& run, qsizetype f, BenchDialogs& dialogs, const std::function<void()>& done)
{
    if (f == run->files.size()) {
        done();
        return;
    }
    const BenchFile& file = run->files[f];
    run->launcher->OpenInViewer(file.path);
    const QPointer<ViewFile> window = run->launcher->window();
    // The load runs on its own threads: the drawing is timed after its end.
    afterReading(window, [run, f, window, &dialogs, done] {
        const BenchFile& file = run->files[f];
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
            const DrawTimes times = timeDrawing(*window, positions[p].line, run->runs);
            figure.seconds = times.total;
            figure.detail = QStringLiteral("line %1, %2 characters; text %3, paint %4")
                                .arg(positions[p].line)
                                .arg(window->text1()->document()->characterCount())
                                .arg(formatDuration(median(times.text)), formatDuration(median(times.paint)));
            if (f == 0)
                run->smallest[p] = figure.seconds;
            else
                figure.references << Reference{QStringLiteral("same line of %1").arg(run->files[0].label), run->smallest[p], {}};
            const double slowest = *std::max_element(times.total.cbegin(), times.total.cend());
            figure.detail += QStringLiteral(", slowest run %1").arg(formatDuration(slowest));
            figure.target = QStringLiteral("<= 16 ms");
            figure.holds = figure.medianSeconds() <= kDrawTargetSeconds;
            printFigure(figure);
        }
        drawFile(run, f + 1, dialogs, done);
    });
}

} // namespace

void drawFigures(const BenchInputs& inputs, const BenchOptions& options, BenchDialogs& dialogs, const QString& driveRoot,
                 const std::function<void()>& done)
{
    auto run = std::make_shared<DrawRun>();
    run->runs = qMax(options.runs, kMinDrawRuns);
    run->launcher = std::make_unique<ViewerLauncher>(DriveMap(driveRoot), dialogs, QString(), [] {});
    run->files = inputs.logs;
    run->files << inputs.longLines;
    drawFile(run, 0, dialogs, done);
}

} // namespace qelvrin::bench
