#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qelvrin::files {

// An ordinary file of exactly this name (not a directory, name case-sensitive).
bool isPlainFile(const QString& nativePath);

// The entry of `dir` whose name equals `name` without regard to case (an
// exact match preferred); empty when there is none.
QString findNoCase(const QString& dir, const QString& name);

std::optional<qint64> size(const QString& nativePath);

// Deletes a plain file; false when it could not (absence counts as done).
bool remove(const QString& nativePath);

// Opens for writing with truncation and closes at once (creates it empty).
bool truncateCreate(const QString& nativePath, QString* error = nullptr);

// Names in `dir` matching `pattern`, where '?' stands for exactly one
// character and letters match without regard to case; directory order.
QStringList listMatching(const QString& dir, const QString& pattern);

} // namespace qelvrin::files
