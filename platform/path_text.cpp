#include "platform/path_text.h"

#include <QByteArrayView>
#include <QList>

#include <cstdlib>

namespace qelvrin {

namespace {

// Whatever is not UTF-8, a sequence cut short at the end included, comes
// back from the decoding as U+FFFD and so not as the same bytes.
bool isUtf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

// Printable ASCII as it is, every other byte as \xNN, so the operator sees
// which byte is at fault.
QString shown(QByteArrayView bytes)
{
    QString text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    return text;
}

const QLatin1String kWhy("it is not valid UTF-8, and only UTF-8 names can be used");

} // namespace

QString undecodablePath(int argc, char* argv[], const QString& driveOption)
{
    for (int i = 1; i < argc; ++i) {
        if (!isUtf8(argv[i]))
            return QStringLiteral("The argument \"%1\" cannot be used: %2.").arg(shown(argv[i]), kWhy);
    }
    QList<const char*> names{"QELVRIN_DRIVE", "QELVRIN_DRIVE_A", "QELVRIN_DRIVE_B", "QELVRIN_STANDIN"};
    if (driveOption.isEmpty() && qEnvironmentVariableIsEmpty("QELVRIN_DRIVE"))
        names.append("HOME");
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value && !isUtf8(value))
            return QStringLiteral("The path \"%1\" in %2 cannot be used: %3.").arg(shown(value), QLatin1String(name), kWhy);
    }
    return {};
}

} // namespace qelvrin
