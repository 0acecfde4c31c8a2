#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class QFile;

#include <optional>

namespace qelvrin::files {

// An ordinary file of exactly this name (not a directory, name case-sensitive).
bool isPlainFile(const QString& nativePath);

// The entry of `dir` whose name equals `name` without regard to case; empty
// when there is none. Where several spellings stand side by side (PCVQS.INI
// and pcvqs.ini), the first in byte order wins whichever spelling is asked
// for, so every look-up of one name finds one file, as on a platform that
// cannot hold both.
QString findNoCase(const QString& dir, const QString& name);

// Any entry of this name, a link that leads nowhere included.
bool entryExists(const QString& nativePath);

std::optional<qint64> size(const QString& nativePath);

// Deletes a file, or a link itself and never what it leads to (a link that
// leads nowhere is still an entry that a name look-up finds). Absence counts
// as done; false, with the system's reason, when the entry stays.
bool remove(const QString& nativePath, QString* error = nullptr);

// Opens `file` at `nativePath` for writing, Unbuffered, truncated or for
// appending. Truncation replaces a link by a new file; no open follows one,
// so nothing is written outside the folder through a planted link. Anything
// but a regular file is refused without waiting on it (a FIFO).
bool openForWriting(QFile& file, const QString& nativePath, bool append, QString* error);

// Opens for writing with truncation and closes at once (creates it empty).
bool truncateCreate(const QString& nativePath, QString* error = nullptr);

// Puts a file holding exactly `bytes` in the place of `nativePath`: written
// under a temporary name beside it, then renamed over it. A full disk or a
// crash never leaves it half-written, and a link there is replaced, not
// followed. `mode` 0 keeps the old file's permissions (the umask's for a
// new one).
bool replaceContents(const QString& nativePath, QByteArrayView bytes, QString* error, unsigned mode = 0);

// A directory entry's name: the bytes the file system holds, and the text
// they read as (UTF-8, or one character per byte where they are not UTF-8,
// as a diskette written under a DOS code page holds them).
struct EntryName {
    QByteArray bytes;
    QString text;
};

// Entries of `dir`, folders apart, whose names fit `pattern`: '?' stands for
// exactly one character and letters match without regard to case. Sorted by
// name without regard to case: a diskette listed its files in the order they
// were written, which their names follow, while a Linux listing is a hash.
// A folder that cannot be listed gives none, with the reason in `error`.
// `withFolders` keeps the folders among them.
QList<EntryName> listMatching(const QString& dir, const QString& pattern, QString* error = nullptr, bool withFolders = false);

// Replaces a small file's contents in place (mode 0644 less the umask for a
// new one). A link of the name is refused, never written through.
bool writeNoFollow(const QString& nativePath, QByteArrayView bytes, QString* error);
// Up to `maxBytes` from the start of a plain file, in one read that never
// waits; empty when there is none, a link or anything but a plain file is
// there, or it cannot be read.
QByteArray readHead(const QString& nativePath, qsizetype maxBytes);

// Writes every byte to a file opened Unbuffered, going on after a short
// write: a disk that fills part-way through a write shortens it without a
// reason, and only the next attempt names one (in the file's errorString).
bool writeAll(QFile& file, QByteArrayView bytes);

} // namespace qelvrin::files
