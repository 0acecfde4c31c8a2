#include "bench/log_lines.h"

#include <cstdio>

namespace qelvrin::bench {

namespace {

constexpr const char* kAnalytes[] = {"AL", "SB", "AS", "BA", "BE", "CD", "CA", "CR", "CO", "CU", "FE", "PB", "MG", "MN", "HG", "NI", "K", "SE", "AG", "NA", "TL", "V", "ZN", "CN"};
constexpr const char* kChecks[] = {"holding time", "blank", "spike recovery", "duplicate", "serial dilution", "calibration", "interference"};
constexpr int kLineWidth = 72;

} // namespace

LogLines::LogLines(std::uint64_t seed)
    : m_state(seed * 0x9E3779B97F4A7C15ull + 1)
{
}

std::uint32_t LogLines::nextNumber(std::uint32_t below)
{
    m_state = m_state * 6364136223846793005ull + 1442695040888963407ull;
    return std::uint32_t((m_state >> 33) % below);
}

void LogLines::appendTo(QByteArray& out)
{
    char line[160];
    const char* analyte = kAnalytes[nextNumber(std::size(kAnalytes))];
    const char* check = kChecks[nextNumber(std::size(kChecks))];
    const std::uint32_t a = nextNumber(100000);
    const std::uint32_t b = nextNumber(1000);
    int length = 0;
    switch (nextNumber(16)) {
    case 0:
        length = std::snprintf(line, sizeof line, "WARNING: %u records fail the %s check for %s.", b, check, analyte);
        break;
    case 1:
        length = std::snprintf(line, sizeof line, "ERROR: Record %u of QELVDATA: analyte %s has no result.", a, analyte);
        break;
    case 2:
    case 3:
        length = std::snprintf(line, sizeof line, "%-10u data work.qc%03u; set sdg.results; by sample %s;", ++m_lineNumber, b, analyte);
        break;
    case 4:
    case 5:
        length = std::snprintf(line, sizeof line, "NOTE: DATA statement used: real time %u.%02u seconds, cpu %u.%02u.", b / 100, b % 100, a % 7, a % 100);
        break;
    case 6:
    case 7:
    case 8:
        length = std::snprintf(line, sizeof line, "NOTE: There were %u observations read from WORK.QC%03u.", a, b);
        break;
    default:
        length = std::snprintf(line, sizeof line, "NOTE: The data set WORK.%s%05u has %u observations and 11 variables.", analyte, a, b);
        break;
    }
    // The log's lines never run past its width.
    if (length > kLineWidth)
        length = kLineWidth;
    out.append(line, length);
    out.append("\r\n", 2);
}

} // namespace qelvrin::bench
