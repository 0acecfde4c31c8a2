// The settings file. Input: the key's line, the value's line, then the file.
// Writing replaces the last line holding the key, cuts every other line to
// 80 characters and strips its blanks; a file of more than 30 lines is
// refused and left as it was; reading after writing gives the value.
#include "fuzz_input.h"
#include "settings/error_code.h"
#include "settings/global.h"
#include "stages/stage_table.h"
#include "support/reference_lines.h"
#include "support/temp_drive.h"

using namespace qelvrin;
using fuzz::require;

namespace {

QByteArray stripped(QByteArray text)
{
    while (text.startsWith(' '))
        text.remove(0, 1);
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const testing::TempDrive drive;
    QByteArray file = fuzz::bytes(data, size);
    const QByteArray key = fuzz::takeLine(file);
    // Values come from the program (font names and sizes): never a line end.
    const QByteArray value = fuzz::takeLine(file).replace('\r', "");
    drive.write(kSettingsReadPath, file);
    const Global global(drive.drives(), drive.native(QStringLiteral("\\QELVRIN")));
    int code = 0;
    try {
        global.WriteSetting(QString::fromLatin1(key), SettingValue(QString::fromLatin1(value)));
    } catch (const ErrorCode& error) {
        code = error.code;
    }

    const QList<QByteArray> lines = testing::splitLines(file);
    if (lines.size() > 30) {
        require(code == ErrIndexOutOfRange && drive.read(kSettingsReadPath) == file, "more than 30 lines: refused, file unchanged");
        return 0;
    }
    require(code == 0, "the write succeeds");
    qsizetype keyLine = -1;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (lines[n].contains(key))
            keyLine = n;
    }
    QByteArray expected;
    for (qsizetype n = 0; n < lines.size(); ++n)
        expected += (n == keyLine ? key + " = " + value : stripped(lines[n].left(80))) + "\r\n";
    require(drive.read(kSettingsReadPath) == expected, "the key's last line replaced, the others cut and stripped");

    // The reader takes the first line holding the key, after its first "=".
    const QList<QByteArray> written = testing::splitLines(expected);
    const auto first = std::find_if(written.begin(), written.end(), [&](const QByteArray& line) { return line.contains(key); });
    if (keyLine >= 0 && first - written.begin() == keyLine && !key.contains('='))
        require(global.ReadSetting(QString::fromLatin1(key)) == QString::fromLatin1(stripped(value)), "read after write gives the value");
    return 0;
}
