#include "stages/data_load.h"

namespace qelvrin {

namespace {

// Where the file's own name begins: after the last folder separator of
// either kind, since a path outside every drive keeps its native form.
qsizetype fileNameStart(const QString& path)
{
    const qsizetype separator = qMax(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return separator + 1;
}

// Capitals one character at a time. QString::toUpper turns a sharp s into
// "SS", which would shift every position found in the path, and the file
// names are matched one character at a time anyway.
QString upperEach(QString text)
{
    for (QChar& c : text)
        c = c.toUpper();
    return text;
}

} // namespace

SdgNames deriveSdgNames(const QString& dosPath)
{
    SdgNames names;
    QString path = dosPath;
    while (path.startsWith(QLatin1Char(' ')))
        path.remove(0, 1);

    const QString lastTen = upperEach(path.right(10));
    names.SdgName = lastTen.left(6).leftJustified(6, QLatin1Char(' '));

    // A dot in a folder name must not cut the prefix short: only the file's
    // own name is searched.
    const qsizetype nameStart = fileNameStart(path);
    const qsizetype dot = path.indexOf(QLatin1Char('.'), nameStart);
    const bool hasDot = dot >= 0;
    names.SdgFilePrefix = upperEach(hasDot ? path.left(dot + 2) : path.left(1));
    names.filePattern = names.SdgFilePrefix.mid(nameStart) + QStringLiteral("??");

    const QString test = lastTen.left(1) + names.SdgFilePrefix.right(1);
    names.accepted = path.size() >= 10 && hasDot && test == QLatin1String("MI");
    const QString drive = path.left(2).toUpper();
    names.diskette = drive == QLatin1String("A:") || drive == QLatin1String("B:");
    return names;
}

} // namespace qelvrin
