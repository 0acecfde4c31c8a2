#include "stages/stage_runner.h"

#include "platform/line_reader.h"

#include <array>

namespace qelvrin {

bool isFailureLine(QByteArrayView line)
{
    static constexpr std::array<QByteArrayView, 4> failureWords{
        QByteArrayView("stopped"), QByteArrayView("memory"), QByteArrayView("not found"), QByteArrayView("aborted")};
    for (const QByteArrayView word : failureWords) {
        if (line.indexOf(word) >= 0)
            return true;
    }
    return false;
}

CompletionVerdict judgeLog(const QString& nativePath)
{
    CompletionVerdict verdict;
    LineReader reader(nativePath);
    if (!reader.isOpen()) {
        verdict.normal = false;
        verdict.reason = QStringLiteral("the log could not be opened: ") + reader.errorString();
        return verdict;
    }
    qint64 lineNumber = 0;
    while (const std::optional<QByteArrayView> line = reader.next()) {
        ++lineNumber;
        if (isFailureLine(*line)) {
            verdict.normal = false;
            verdict.failureLineNumber = lineNumber;
            verdict.failureLine = line->toByteArray();
            return verdict;
        }
    }
    // A log we could not read to its end, or one the stage never wrote to,
    // proves nothing about a successful run.
    if (reader.readFailed()) {
        verdict.normal = false;
        verdict.reason = QStringLiteral("the log could not be read: ") + reader.errorString();
    } else if (lineNumber == 0) {
        verdict.normal = false;
        verdict.reason = QStringLiteral("the log is empty");
    }
    return verdict;
}

} // namespace qelvrin
