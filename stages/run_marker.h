#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace qelvrin {
class DriveMap;
inline const QString kMarkerPath = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
} // namespace qelvrin

namespace qelvrin::marker {

// The marker file on this drive: the entry named SHUTDOWN.DAT in any letter
// case, as the original file system found it; else the name in capitals, for
// a marker yet to be created.
QString nativePath(const DriveMap& drives);

// The value that says the previous run ended through a clean Exit.
inline constexpr char kNormal[] = "NORMAL";

// Replaces the whole file with the record form: the text in double quotes,
// then CR LF. False, with the reason in `error`, when it cannot be written.
bool write(const QString& nativePath, const QString& text, QString* error = nullptr);

// The first field of a record line: leading blanks skipped; a quoted value
// runs to the next quote (or the end of the line when none follows), an
// unquoted one to the first comma or the end of the line.
QByteArray firstField(QByteArrayView line);

// The marker is one short line; no more than this much of it is read (a
// file of gigabytes, or of one endless line, costs one small read). A longer
// first line counts by its first kLineCap bytes: a value cut there is far
// longer than NORMAL either way, so whether it holds NORMAL is unchanged.
inline constexpr qsizetype kLineCap = 256;

// First field of the first line; empty when the file is absent, unreadable
// or empty. A marker that is there but cannot be read sets `error` to the
// reason (not a regular file, say).
QByteArray readValue(const QString& nativePath, QString* error = nullptr);

// Only the exact value NORMAL counts as a clean end.
bool holdsNormal(const QString& nativePath, QString* error = nullptr);

} // namespace qelvrin::marker
