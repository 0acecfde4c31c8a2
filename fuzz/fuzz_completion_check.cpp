// The completion check: a log ends abnormally exactly when some line holds
// a failure word (or it has no line at all), and the line reported is the
// first such line.
#include "fuzz_input.h"
#include "stages/stage_runner.h"
#include "support/reference_lines.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file = fuzz::bytes(data, size);
    const CompletionVerdict verdict = judgeLog(fuzz::scratchFile(QStringLiteral("STAGE.LOG"), file));

    const QList<QByteArray> lines = testing::splitLines(file);
    const auto failing = std::find_if(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line.contains("stopped") || line.contains("memory") || line.contains("not found") || line.contains("aborted");
    });
    require(verdict.normal == (!lines.isEmpty() && failing == lines.end()), "abnormal exactly when a failure word occurs");
    if (failing != lines.end())
        require(verdict.failureLineNumber == failing - lines.begin() + 1 && verdict.failureLine == *failing, "the first failing line is reported");
    return 0;
}
