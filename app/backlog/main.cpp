#include "app/backlog/backlog_report.h"
#include "app/backlog/backlog_run.h"
#include "app/backlog/backlog_task.h"
#include "platform/file_ops.h"
#include "platform/single_instance.h"
#include "platform/terminal.h"
#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace qelvrin::backlog;

namespace {

constexpr int kRefused = 2;

const char kUsage[] =
    "Usage: qelvrin-backlog run LIST OUTDIR [--jobs N]\n"
    "       qelvrin-backlog submit LIST OUTDIR [SBATCH-ARGUMENT ...]\n"
    "       qelvrin-backlog resume OUTDIR [--failed] [--jobs N]\n"
    "       qelvrin-backlog report OUTDIR\n";

const char kHelp[] =
    "\nRuns a backlog of SDGs with qelvrin-batch, on this machine through GNU parallel\n"
    "or on a Slurm cluster as a job array, and reports on it.\n\n"
    "LIST holds one SDG a line: its first file, then one file of each further\n"
    "diskette, separated by tabs. Blank lines and lines beginning with # are\n"
    "skipped; every file is checked before anything starts.\n\n"
    "  run      runs LIST into OUTDIR, which must not exist, N at a time (default: the cores)\n"
    "  submit   the same as a Slurm job array; each task on a drive in node scratch\n"
    "  resume   runs again the lines without a finished result; --failed also those\n"
    "           that did not end with 0; through Slurm when the backlog was submitted\n"
    "  report   writes OUTDIR/summary.tsv and OUTDIR/report.html\n"
    "  --help, --version\n\n"
    "OUTDIR holds list.tsv, results/N-<SDG>.json and .log, outputs/N-<SDG>/,\n"
    "summary.tsv and report.html.\n\n"
    "Exit status: 0 every line ended with 0, 1 a stage ended abnormally, 2 the list\n"
    "or the usage was refused or a line could not go ahead, 130 interrupted.\n";

int refuse(const QString& why)
{
    QTextStream(stderr) << "qelvrin-backlog: " << why << '\n' << kUsage;
    return kRefused;
}

QString absolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Reads and checks the list; every refused line is said, with its number.
std::optional<BacklogList> checkedList(const QString& path)
{
    BacklogList list = readBacklogList(path, true);
    if (list.errors.isEmpty())
        return list;
    QTextStream err(stderr);
    for (const QString& error : list.errors)
        err << "qelvrin-backlog: " << path << ": " << error << '\n';
    return std::nullopt;
}

// A fresh OUTDIR with the list kept in it: two backlogs never share one.
QString layOut(const QString& outdir, const BacklogList& list)
{
    if (QFileInfo::exists(outdir) || QFileInfo(outdir).isSymLink())
        return outdir + QStringLiteral(" exists: resume it, or name another OUTDIR");
    QString error;
    if (!QDir().mkpath(outdir) || !QDir(outdir).mkpath(QStringLiteral("results")) || !QDir(outdir).mkpath(QStringLiteral("outputs"))
        || !QDir(outdir).mkpath(QStringLiteral("logs")))
        return outdir + QStringLiteral(": cannot be created");
    if (!qelvrin::files::replaceContents(outdir + QStringLiteral("/list.tsv"), list.kept, &error))
        return error;
    return {};
}

int jobsOption(const QStringList& arguments, qsizetype from, int* jobs, bool* failed)
{
    for (qsizetype i = from; i < arguments.size(); ++i) {
        if (failed && arguments.at(i) == QLatin1String("--failed")) {
            *failed = true;
        } else if (arguments.at(i) == QLatin1String("--jobs") && i + 1 < arguments.size()) {
            bool ok = false;
            *jobs = arguments.at(++i).toInt(&ok);
            if (!ok || *jobs < 1)
                return refuse(QStringLiteral("--jobs takes a number of at least 1"));
        } else {
            return refuse(QStringLiteral("unknown argument: %1").arg(arguments.at(i)));
        }
    }
    return 0;
}

int runLocally(const QString& outdir, const QList<BacklogLine>& lines, int jobs)
{
    // Two runs of one backlog would run its lines twice, into one result.
    qelvrin::SingleInstanceGuard guard(outdir + QStringLiteral("/backlog.lock"));
    if (!guard.tryAcquire())
        return refuse(QStringLiteral("%1 is being run by another qelvrin-backlog%2").arg(outdir, guard.error().isEmpty() ? QString() : QStringLiteral(" (%1)").arg(guard.error())));
    LocalRun run(outdir, lines, jobs, qelvrin::isTerminal(stdout));
    const qelvrin::TerminationSignals termination;
    QObject::connect(&termination, &qelvrin::TerminationSignals::received, &run, &LocalRun::interrupt);
    QObject::connect(&run, &LocalRun::finished, qApp, &QCoreApplication::exit);
    return run.start() ? QCoreApplication::exec() : kRefused;
}

int runTask(const QString& outdir, const QString& ordinalText)
{
    const BacklogList list = readBacklogList(outdir + QStringLiteral("/list.tsv"), false);
    const int ordinal = ordinalText.toInt();
    if (!list.errors.isEmpty() || ordinal < 1 || ordinal > list.lines.size())
        return refuse(QStringLiteral("no SDG %1 in %2/list.tsv").arg(ordinalText, outdir));
    // Before the scratch folder exists: a signal now is taken, not fatal,
    // and the folder goes with the task.
    const qelvrin::TerminationSignals termination;
    BacklogTask task(outdir, list.lines.at(ordinal - 1));
    QObject::connect(&termination, &qelvrin::TerminationSignals::received, &task, &BacklogTask::interrupt);
    QObject::connect(&task, &BacklogTask::finished, qApp, &QCoreApplication::exit);
    if (!task.start())
        return kRefused;
    const int status = QCoreApplication::exec();
    // The array's last task to end writes the report. Every task asks, so
    // the search stops at the first line not finished, from the list's end
    // where the lines still to run mostly lie.
    const auto finished = [&outdir](const BacklogLine& line) { return LineResult{line, readResult(resultPath(outdir, line))}.finished(); };
    if (qEnvironmentVariableIsSet("SLURM_ARRAY_TASK_ID") && std::all_of(list.lines.crbegin(), list.lines.crend(), finished))
        writeReport(outdir);
    return status;
}

int resume(const QString& outdir, bool failed, int jobs)
{
    const std::optional<BacklogList> list = checkedList(outdir + QStringLiteral("/list.tsv"));
    if (!list)
        return kRefused;
    QList<BacklogLine> again;
    QList<int> ordinals;
    for (const LineResult& result : loadResults(outdir, list->lines)) {
        if (!result.finished() || (failed && result.exitStatus() != 0)) {
            again.append(result.line);
            ordinals.append(result.line.ordinal);
        }
    }
    const std::optional<QJsonObject> submitted = readResult(outdir + QStringLiteral("/submitted.json"));
    if (again.isEmpty()) {
        const ReportWritten report = writeReport(outdir);
        QTextStream(stdout) << "Nothing to run again. " << countsText(report.counts) << '\n';
        return report.error.isEmpty() ? backlogStatus(report.counts) : kRefused;
    }
    if (submitted) {
        QStringList arguments;
        for (const QJsonValue argument : submitted->value(QStringLiteral("sbatchArguments")).toArray())
            arguments.append(argument.toString());
        return submitArray(outdir, ordinals, arguments);
    }
    return runLocally(outdir, again, jobs);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qelvrin-backlog"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QELVRIN_VERSION));
    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        std::printf("%s%s", kUsage, kHelp);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        std::printf("qelvrin-backlog %s\n", QELVRIN_VERSION);
        return 0;
    }
    int jobs = QThread::idealThreadCount();
    bool failed = false;
    if ((command == QLatin1String("run") || command == QLatin1String("submit")) && arguments.size() >= 4) {
        const QString outdir = absolute(arguments.at(3));
        if (command == QLatin1String("run") && jobsOption(arguments, 4, &jobs, nullptr) != 0)
            return kRefused;
        const std::optional<BacklogList> list = checkedList(arguments.at(2));
        if (!list)
            return kRefused;
        if (const QString error = layOut(outdir, *list); !error.isEmpty())
            return refuse(error);
        if (command == QLatin1String("run"))
            return runLocally(outdir, list->lines, jobs);
        const QStringList sbatchArguments = arguments.mid(4);
        const QJsonObject submitted{{QStringLiteral("sbatchArguments"), QJsonArray::fromStringList(sbatchArguments)}};
        // Tells a later resume to go through Slurm again, with the same arguments.
        QString error;
        if (!qelvrin::files::replaceContents(outdir + QStringLiteral("/submitted.json"), QJsonDocument(submitted).toJson(), &error))
            return refuse(error);
        QList<int> ordinals;
        for (const BacklogLine& line : list->lines)
            ordinals.append(line.ordinal);
        return submitArray(outdir, ordinals, sbatchArguments);
    }
    if (command == QLatin1String("resume") && arguments.size() >= 3) {
        if (jobsOption(arguments, 3, &jobs, &failed) != 0)
            return kRefused;
        return resume(absolute(arguments.at(2)), failed, jobs);
    }
    if (command == QLatin1String("report") && arguments.size() == 3) {
        const ReportWritten report = writeReport(absolute(arguments.at(2)));
        if (!report.error.isEmpty())
            return refuse(report.error);
        QTextStream(stdout) << countsText(report.counts) << '\n';
        return backlogStatus(report.counts);
    }
    if (command == QLatin1String("task") && arguments.size() == 4)
        return runTask(absolute(arguments.at(2)), arguments.at(3));
    return refuse(command.isEmpty() ? QStringLiteral("no command given") : QStringLiteral("cannot use: %1").arg(arguments.mid(1).join(QLatin1Char(' '))));
}
