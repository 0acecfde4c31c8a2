#pragma once

#include "standin/batch_log.h"
#include "standin/invocation.h"
#include "standin/sdg_data.h"

#include <QByteArray>

#include <optional>

namespace qelvrin::standin {

// Steps every job shares.

void writePrologue(BatchLog& log, const Invocation& invocation);

// Reads QELVDATA in a DATA step. When the file is missing, empty, unreadable
// or holds a malformed record, logs why and stops the job; returns nothing.
std::optional<SdgData> readDataStep(BatchLog& log, const Invocation& invocation);

// Logs the reason as an error and the line that marks the job's abnormal end.
void stopJob(BatchLog& log, const Invocation& invocation, const QByteArray& reason);

// Audit listings of the results, step after step, until the log has grown
// to its expected size less `reserve` bytes.
void writeAuditSteps(BatchLog& log, const SdgData& data, qint64 reserve);

void writeEpilogue(BatchLog& log, const Invocation& invocation);

// "06DEC2026", the log's and report's date form.
QByteArray logDate(const QDate& date);

} // namespace qelvrin::standin
