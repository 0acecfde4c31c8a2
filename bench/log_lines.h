#pragma once

#include <QByteArray>

#include <cstdint>

namespace qelvrin::bench {

// Lines in the batch processor's log style: "NOTE:", "WARNING:" and "ERROR:"
// messages and numbered source statements, about 66 bytes with the CR LF,
// varied by a fixed pseudo-random sequence so every run writes the same file.
// No line holds the words the search figures look for ("frequency",
// "stopped") in any letter case.
class LogLines {
public:
    explicit LogLines(std::uint64_t seed = 1);

    // Appends one line and its CR LF.
    void appendTo(QByteArray& out);

private:
    std::uint32_t nextNumber(std::uint32_t below);

    std::uint64_t m_state;
    std::uint32_t m_lineNumber = 0;
};

// The last line of every generated log: the one line that holds "stopped".
inline constexpr char kLastLogLine[] = "ERROR: Job QELVBENCH: processing stopped because of the errors above.";
// What the search figures look for: a word on no line, and one on the last.
inline constexpr char kAbsentWord[] = "Frequency";
inline constexpr char kLastLineWord[] = "Stopped";

} // namespace qelvrin::bench
