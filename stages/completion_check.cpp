#include "stages/stage_runner.h"

#include "platform/line_reader.h"

#include <algorithm>
#include <array>

namespace qelvrin {

namespace {

constexpr std::array<QByteArrayView, 4> kFailureWords{
    QByteArrayView("stopped"), QByteArrayView("memory"), QByteArrayView("not found"), QByteArrayView("aborted")};
// A word split between two pieces of a line lies within this many bytes on
// either side of the split.
constexpr qsizetype kSplitReach = 8;
static_assert(kSplitReach + 1 >= std::max({kFailureWords[0].size(), kFailureWords[1].size(), kFailureWords[2].size(), kFailureWords[3].size()}));

// One line as its pieces come: its first bytes, and whether a failure word
// occurs anywhere in it, without holding the rest.
class LineJudge {
public:
    void add(QByteArrayView piece)
    {
        const qsizetype room = kFailureLineLimit - m_head.size();
        m_head.append(piece.first(qMin(room, piece.size())));
        m_cut = m_cut || piece.size() > room;
        if (!m_failing) {
            const QByteArray across = m_tail + piece.first(qMin(kSplitReach, piece.size())).toByteArray();
            m_failing = isFailureLine(piece) || (!m_tail.isEmpty() && isFailureLine(across));
        }
        m_tail = piece.size() >= kSplitReach ? piece.last(kSplitReach).toByteArray() : (m_tail + piece.toByteArray()).right(kSplitReach);
    }
    bool failing() const { return m_failing; }
    bool cut() const { return m_cut; }
    const QByteArray& head() const { return m_head; }

private:
    QByteArray m_head;
    QByteArray m_tail;
    bool m_cut = false;
    bool m_failing = false;
};

} // namespace

bool isFailureLine(QByteArrayView line)
{
    for (const QByteArrayView word : kFailureWords) {
        if (line.indexOf(word) >= 0)
            return true;
    }
    return false;
}

CompletionVerdict judgeLog(const QString& nativePath, qsizetype bufferSize)
{
    CompletionVerdict verdict;
    LineReader reader(nativePath, bufferSize);
    if (!reader.isOpen()) {
        verdict.normal = false;
        verdict.reason = QStringLiteral("the log could not be opened: ") + reader.errorString();
        return verdict;
    }
    qint64 lineNumber = 0;
    std::optional<LineJudge> line;
    while (const std::optional<LineReader::Piece> piece = reader.nextPiece()) {
        if (!line) {
            ++lineNumber;
            line.emplace();
        }
        line->add(piece->bytes);
        // Once the kept bytes are full, the rest of a failing line changes nothing.
        if (line->failing() && (piece->lineEnds || line->cut())) {
            verdict.normal = false;
            verdict.failureLineNumber = lineNumber;
            verdict.failureLine = line->head();
            verdict.failureLineCut = line->cut();
            return verdict;
        }
        if (piece->lineEnds)
            line.reset();
    }
    // A log we could not read to its end, or one the stage never wrote to,
    // proves nothing about a successful run.
    if (reader.readFailed()) {
        verdict.normal = false;
        verdict.interrupted = reader.interrupted();
        verdict.reason = QStringLiteral("the log could not be read: ") + reader.errorString();
    } else if (lineNumber == 0) {
        verdict.normal = false;
        verdict.reason = QStringLiteral("the log is empty");
    }
    return verdict;
}

} // namespace qelvrin
