#include "platform/drive_map.h"

#include "platform/file_ops.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace qelvrin {

namespace {

QString cleanRoot(const QString& dir)
{
    if (dir.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(dir).absoluteFilePath());
}

QString pick(const QString& option, const char* variable)
{
    if (!option.isEmpty())
        return option;
    return qEnvironmentVariable(variable);
}

// The part of `path` below `root`, or a null string when it is not under it.
QString relativeTo(const QString& root, const QString& path)
{
    if (root.isEmpty())
        return {};
    if (path == root)
        return QStringLiteral("");
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if (!path.startsWith(prefix))
        return {};
    return path.mid(prefix.size());
}

} // namespace

DriveMap::DriveMap(QString root, QString driveA, QString driveB)
    : m_root(cleanRoot(root)), m_driveA(cleanRoot(driveA)), m_driveB(cleanRoot(driveB))
{
}

DriveMap DriveMap::fromOptions(const QString& root, const QString& driveA, const QString& driveB)
{
    QString chosenRoot = pick(root, "QELVRIN_DRIVE");
    if (chosenRoot.isEmpty())
        chosenRoot = defaultRoot();
    return DriveMap(chosenRoot, pick(driveA, "QELVRIN_DRIVE_A"), pick(driveB, "QELVRIN_DRIVE_B"));
}

QString DriveMap::defaultRoot()
{
    return QDir::homePath() + QStringLiteral("/.local/share/qelvrin");
}

QString DriveMap::toNative(const QString& dosPath) const
{
    QString rest = dosPath;
    QString base = m_root;
    if (rest.size() >= 2 && rest.at(1) == QLatin1Char(':')) {
        const QChar letter = rest.at(0).toUpper();
        if (letter == QLatin1Char('A'))
            base = m_driveA;
        else if (letter == QLatin1Char('B'))
            base = m_driveB;
        else if (letter != QLatin1Char('C'))
            return {};
        if (base.isEmpty())
            return {};
        rest = rest.mid(2);
    } else if (!rest.startsWith(QLatin1Char('\\')) && !rest.startsWith(QLatin1Char('/'))) {
        // Relative: stays relative to the working directory.
        return QString(rest).replace(QLatin1Char('\\'), QLatin1Char('/'));
    }
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rest.startsWith(QLatin1Char('/')))
        rest.remove(0, 1);
    if (base.isEmpty())
        return {};
    return rest.isEmpty() ? base : base + QLatin1Char('/') + rest;
}

QString DriveMap::toNativeNoCase(const QString& dosPath) const
{
    const QString native = toNative(dosPath);
    if (native.isEmpty())
        return native;
    const QFileInfo info(native);
    const QString found = files::findNoCase(info.path(), info.fileName());
    return found.isEmpty() ? native : found;
}

QString DriveMap::toDos(const QString& nativePath) const
{
    const QString path = QDir::cleanPath(nativePath);
    const struct {
        const QString& root;
        const char* letter;
    } drives[] = {{m_driveA, "A:"}, {m_driveB, "B:"}, {m_root, "C:"}};
    // The most specific root wins, in case one drive lies inside another.
    QString best;
    qsizetype bestLength = -1;
    for (const auto& drive : drives) {
        const QString rel = relativeTo(drive.root, path);
        if (rel.isNull() || drive.root.size() <= bestLength)
            continue;
        bestLength = drive.root.size();
        best = QLatin1String(drive.letter) + QLatin1Char('\\') + QString(rel).replace(QLatin1Char('/'), QLatin1Char('\\'));
    }
    return bestLength < 0 ? nativePath : best;
}

QString DriveMap::installDir() const
{
    return m_root + QStringLiteral("/QELVRIN");
}

} // namespace qelvrin
