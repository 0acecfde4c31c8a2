#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace qelvrin::files {

// The reason given for an entry that is there but holds no file contents:
// a FIFO, a device, a socket, or a link to one of them.
inline constexpr char kNotRegular[] = "not a regular file";

// Opens a file for its contents, judged on the open descriptor so that
// nothing can be swapped in between a look and the open. The open itself
// never waits: a FIFO without a writer, or a device, would otherwise hold
// the event loop for as long as it likes. A folder is refused as "Is a
// directory", anything else that is not a regular file as kNotRegular.
// `file` is opened Unbuffered on a close-on-exec descriptor that blocks
// again; false with the reason in `error` when it cannot be.
// With `Links::SameOwnerOnly` a link is followed only to a file of the
// link's own owner, as the kernel's protected links have it: a link that
// another user planted among one's files cannot make one copy theirs.
enum class Links { Follow, SameOwnerOnly };
inline constexpr char kForeignLink[] = "a link to a file of another owner";
bool openRegularForReading(QFile& file, const QByteArray& nativePath, QString* error, Links links = Links::Follow);

// The same for writing; creates a missing file (mode 0666 less the umask).
// With `truncate` set, empties it once it is known to be regular; else every
// write goes to its end.
bool openRegularForWriting(QFile& file, const QByteArray& nativePath, bool truncate, QString* error);

} // namespace qelvrin::files
