#pragma once

#include <QString>

namespace qelvrin {

// Paths reach the program as bytes, but it names files by text, and a byte
// sequence that is not UTF-8 cannot come back out of text unchanged: used
// anyway it would name another file (the drive laid out in another folder).
// So such a path is refused with a message rather than changed.

// The message for the first command-line argument after the program's name
// that is not UTF-8, else for the first environment variable naming a path
// that is set and not UTF-8; an empty string when there is none. HOME counts
// only when the drive defaults to a folder below it: no `driveOption` and no
// QELVRIN_DRIVE.
QString undecodablePath(int argc, char* argv[], const QString& driveOption);

} // namespace qelvrin
