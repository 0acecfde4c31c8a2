// The run marker: any bytes give the first field of the first line or
// nothing, and the start-up purges the stage data exactly when that value
// is not NORMAL, then leaves ABNORMAL behind.
#include "app/startup.h"
#include "fuzz_input.h"
#include "stages/run_marker.h"
#include "platform/single_instance.h"
#include "support/reference_lines.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

using namespace qelvrin;
using fuzz::require;

namespace {

// The record's first field read the plain way: blanks skipped, a quoted
// value up to the next quote, an unquoted one up to the first comma; of a
// longer line only the first bytes count.
QByteArray expectedValue(const QByteArray& file)
{
    const QByteArray line = testing::splitLines(file).value(0).left(marker::kLineCap);
    qsizetype at = 0;
    while (at < line.size() && line[at] == ' ')
        ++at;
    const bool quoted = at < line.size() && line[at] == '"';
    QByteArray value;
    for (qsizetype i = at + quoted; i < line.size() && line[i] != (quoted ? '"' : ','); ++i)
        value += line[i];
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const testing::TempDrive drive;
    static SingleInstanceGuard guard(drive.native(kLockPath));
    static testing::ScriptedDialogs dialogs;
    const QByteArray file = fuzz::bytes(data, size);
    drive.write(kMarkerPath, file);

    const QByteArray value = marker::readValue(drive.native(kMarkerPath));
    require(value == expectedValue(file), "the value is the first field of the first line");

    bool purged = false;
    require(runStartup(drive.drives(), guard, dialogs, {[&] { purged = true; }, [] {}}), "the start-up runs");
    require(purged == (value != marker::kNormal), "the purge follows the value");
    require(drive.read(kMarkerPath) == "\"ABNORMAL\"\r\n", "the run is marked as active");
    return 0;
}
