#include "settings/global.h"

#include "settings/error_code.h"
#include "platform/file_ops.h"
#include "platform/line_reader.h"

#include <QDir>
#include <QFileInfo>

namespace qelvrin {

namespace {

const QString kReadName = QStringLiteral("\\QELVRIN\\PCVQS.INI");
const QString kWriteName = QStringLiteral("pcvqs.ini");

// Codes for failures past the open, as the platform numbers them.
constexpr int kPermissionDenied = 70;
constexpr int kDeviceIoError = 57;
constexpr int kPathAccessError = 75;

QByteArrayView stripBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == ' ')
        ++begin;
    while (end > begin && text.at(end - 1) == ' ')
        --end;
    return text.sliced(begin, end - begin);
}

void requireFile(const QString& nativePath)
{
    if (nativePath.isEmpty() || !QFileInfo(nativePath).isFile())
        throw ErrorCode(ErrFileNotFound);
}

void requireOpen(const LineReader& reader)
{
    if (!reader.isOpen())
        throw ErrorCode(kPermissionDenied);
}

} // namespace

SettingValue::SettingValue(float number)
{
    m_text = QString::number(double(number), 'g', 7).toUpper();
}

Global::Global(const DriveMap& drives, QString workingDir)
    : m_drives(drives), m_workingDir(std::move(workingDir))
{
}

QString Global::readPath() const
{
    return m_drives.toNativeNoCase(kReadName);
}

QString Global::writePath() const
{
    const QString dir = m_workingDir.isEmpty() ? QDir::currentPath() : m_workingDir;
    return files::findNoCase(dir, kWriteName);
}

std::optional<QString> Global::ReadSetting(const QString& key) const
{
    const QByteArray wanted = key.toLatin1();
    const QString path = readPath();
    requireFile(path);
    LineReader reader(path);
    requireOpen(reader);
    while (const auto line = reader.next()) {
        if (!line->contains(wanted))
            continue;
        const qsizetype equals = line->indexOf('=');
        const QByteArrayView value = stripBlanks(equals < 0 ? *line : line->sliced(equals + 1));
        return QString::fromLatin1(value.data(), value.size());
    }
    if (reader.readFailed())
        throw ErrorCode(kDeviceIoError);
    return std::nullopt;
}

void Global::WriteSetting(const QString& key, const SettingValue& value) const
{
    const QString path = writePath();
    const QByteArray wanted = key.toLatin1();
    QByteArray slots[LineSlots];
    int lineCount = 0;
    int keyLine = -1;
    {
        requireFile(path);
        LineReader reader(path);
        requireOpen(reader);
        while (const auto line = reader.next()) {
            if (lineCount == LineSlots)
                throw ErrorCode(ErrIndexOutOfRange);
            slots[lineCount] = line->first(qMin<qsizetype>(line->size(), SlotWidth)).toByteArray();
            if (line->contains(wanted))
                keyLine = lineCount;
            ++lineCount;
        }
        if (reader.readFailed())
            throw ErrorCode(kDeviceIoError);
    }

    QByteArray content;
    for (int n = 0; n < lineCount; ++n) {
        if (n == keyLine)
            content += wanted + " = " + value.text().toLatin1();
        else
            content += stripBlanks(slots[n]);
        content += "\r\n";
    }

    // A new file takes the old one's place only once it is complete.
    // A link of the settings file's name is replaced, never written through.
    if (!files::replaceContents(path, content, nullptr))
        throw ErrorCode(kPathAccessError);
}

} // namespace qelvrin
