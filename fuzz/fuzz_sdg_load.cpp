// The SDG name rules on any path text, and the copy into the data file.
// Input: the chosen file's path, then the file's content. Whatever the
// folders are called, the pattern is a file name that takes the chosen file;
// every line copied ends in CR LF and no byte of a line is lost.
#include "fuzz_input.h"
#include "stages/data_load.h"
#include "stages/sdg_copy.h"
#include "support/reference_lines.h"

#include <QDir>

#include <algorithm>

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray content = fuzz::bytes(data, size);
    const QString path = QString::fromUtf8(fuzz::takeLine(content));
    const SdgNames names = deriveSdgNames(path);
    require(names.SdgName.size() == 6, "the SDG name has six characters");
    require(names.filePattern.endsWith(QLatin1String("??")) && !names.filePattern.contains(QLatin1Char('\\'))
                && !names.filePattern.contains(QLatin1Char('/')),
            "the pattern is a file name");

    // A chosen file named like an SDG's (two characters after the one that
    // follows the dot) is copied; any other content goes in as M12345.I01.
    // The program reads the path without its leading blanks.
    qsizetype blanks = 0;
    while (blanks < path.size() && path.at(blanks) == QLatin1Char(' '))
        ++blanks;
    const QString ownName = path.mid(std::max({path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')), blanks - 1}) + 1);
    const bool sdgShaped = names.accepted && ownName.indexOf(QLatin1Char('.')) + 4 == ownName.size()
        && !ownName.contains(QChar(0)) && ownName.toUtf8().size() < 256;
    const QString name = sdgShaped ? ownName : QStringLiteral("M12345.I01");
    const QString pattern = sdgShaped ? names.filePattern : QStringLiteral("M12345.I??");

    QDir folder(fuzz::scratch().filePath(QStringLiteral("sdg")));
    folder.removeRecursively();
    folder.mkpath(QStringLiteral("."));
    // Joined by hand: QDir::filePath takes a name that begins with ':' for
    // a resource path of its own.
    testing::writeFile(folder.path() + QLatin1Char('/') + name, content);

    const QString dataFile = fuzz::scratchFile(QStringLiteral("QELVDATA"), "left from before\r\n");
    require(!copySdgFiles(folder.path(), pattern, dataFile, true), "the copy succeeds");
    QByteArray expected;
    for (const QByteArray& line : testing::splitLines(content))
        expected += line + "\r\n";
    QFile copied(dataFile);
    require(copied.open(QIODevice::ReadOnly) && copied.readAll() == expected, "the data file holds every line, each ended by CR LF");
    return 0;
}
