// The batch figure's batch processor: done at once. It appends one line to
// the log, writes the report and the end signal, and notes its own run (from
// its first instruction to the signal) in ../JOBTIMES, beside the install
// folder, so the bench can take it off the runner's time.

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <strings.h>

namespace {

long long nowMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

int main(int argc, char* argv[])
{
    const long long start = nowMicroseconds();
    std::string log;
    std::string report;
    for (int i = 1; i + 1 < argc; ++i) {
        if (::strcasecmp(argv[i], "-LOG") == 0)
            log = argv[++i];
        else if (::strcasecmp(argv[i], "-PRINT") == 0)
            report = argv[++i];
    }
    std::ofstream(log, std::ios::app | std::ios::binary) << "NOTE: The SAS System\r\n";
    if (!report.empty())
        std::ofstream(report, std::ios::binary) << "report\r\n";
    std::ofstream("SIGNAL.TXT");
    const long long end = nowMicroseconds();
    std::ofstream("../JOBTIMES", std::ios::app) << start << ' ' << end << '\n';
    return 0;
}
