#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace qelvrin::backlog {

// One SDG of a backlog: its line in the list, and the files of its diskettes.
struct BacklogLine {
    int number = 0;    // the line of the list, counting blank and comment lines
    int ordinal = 0;   // among the SDG lines, from 1: a task's number
    QStringList files; // absolute: the SDG file, then one file per further diskette
    // "N-<SDG>": names its result and its outputs folder, stable however
    // often the list is run, since the list kept in OUTDIR never changes.
    QString name() const;
};

struct BacklogList {
    QList<BacklogLine> lines;
    QByteArray kept;    // the list to keep in OUTDIR: as given, relative paths made absolute
    QStringList errors; // "line 3: ...", one per refused line; nothing may run then
};

// The list's rules, for every command alike: one SDG a line, its files
// separated by tabs; LF or CR LF line ends; blank lines and lines beginning
// with '#' skipped. Relative paths are taken from `baseDir`. With
// `checkFiles`, each file must be a regular file.
BacklogList parseBacklogList(const QByteArray& bytes, const QString& baseDir, bool checkFiles);

// Reads the list from a file: a regular file of at most kMaxListBytes.
BacklogList readBacklogList(const QString& path, bool checkFiles);

inline constexpr qint64 kMaxListBytes = 16 << 20;

} // namespace qelvrin::backlog
