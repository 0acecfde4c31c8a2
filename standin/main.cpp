// The stand-in for the batch processor: runs one of the three stage jobs
// with the command line the front end gives \SAS\SAS.EXE.

#include "standin/invocation.h"
#include "standin/job.h"
#include "standin/run_settings.h"

#include <QStringList>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kBadArguments = 2;

// A parent may hand down SIGTERM ignored or blocked; the front end's close
// request must still end the job at once, with no end signal.
void takeDefaultTermination()
{
    std::signal(SIGTERM, SIG_DFL);
    sigset_t terminate;
    sigemptyset(&terminate);
    sigaddset(&terminate, SIGTERM);
    sigprocmask(SIG_UNBLOCK, &terminate, nullptr);
}

int refuse(const QString& error)
{
    std::fprintf(stderr,
                 "qelvrin-sas: %s\n"
                 "usage: SAS.EXE -SYSIN <dir>/DLOADJCL|IASMTJCL|FASMTJCL -LOG <log file> [-PRINT <report file>]\n",
                 qPrintable(error));
    return kBadArguments;
}

} // namespace

int main(int argc, char* argv[])
{
    using namespace qelvrin::standin;
    takeDefaultTermination();
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ParsedInvocation parsed = parseInvocation(arguments);
    if (!parsed.invocation)
        return refuse(parsed.error);
    const ParsedSettings settings = readRunSettings(parsed.invocation->stage);
    if (!settings.settings)
        return refuse(settings.error);
    return runJob(*parsed.invocation, *settings.settings);
}
