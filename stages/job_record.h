#pragma once

#include "platform/process.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace qelvrin {

// The drive's note of the batch job its last stage started, so that a later
// run, in whatever process, can tell whether that job still runs.
// The note is one line: the batch processor's pid, a blank, the job's
// identity, CR LF. nullopt for text that is not one.
QByteArray jobRecord(const BatchJob& job);
std::optional<BatchJob> parseJobRecord(QByteArrayView text);

// Written without following a link; false with the reason when it cannot be.
bool writeJobRecord(const QString& nativePath, const BatchJob& job, QString* error);
// Only a plain file is read, and only its first bytes; nullopt when there
// is no usable note.
std::optional<BatchJob> readJobRecord(const QString& nativePath);

} // namespace qelvrin
