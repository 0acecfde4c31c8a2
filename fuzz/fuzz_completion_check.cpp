// The completion check: a log ends abnormally exactly when some line holds
// a failure word (or it has no line at all), and the line reported is the
// first such line, cut to the kept length.
#include "fuzz_input.h"
#include "stages/stage_runner.h"
#include "support/reference_lines.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file = fuzz::bytes(data, size);
    // Small buffers split long lines, and failure words, between pieces.
    const qsizetype bufferSize = fuzz::takeByte(file) % 64;
    const CompletionVerdict verdict = judgeLog(fuzz::scratchFile(QStringLiteral("STAGE.LOG"), file), bufferSize);

    const QList<QByteArray> lines = testing::splitLines(file);
    const auto failing = std::find_if(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line.contains("stopped") || line.contains("memory") || line.contains("not found") || line.contains("aborted");
    });
    require(verdict.normal == (!lines.isEmpty() && failing == lines.end()), "abnormal exactly when a failure word occurs");
    if (failing != lines.end())
        require(verdict.failureLineNumber == failing - lines.begin() + 1 && verdict.failureLine == failing->first(qMin(failing->size(), kFailureLineLimit))
                    && verdict.failureLineCut == (failing->size() > kFailureLineLimit),
                "the first failing line is reported, cut to the limit");
    return 0;
}
