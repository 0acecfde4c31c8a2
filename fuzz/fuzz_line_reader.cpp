// The line reader: the lines it gives, each followed by the line end that
// stopped it, give back the input byte for byte, whatever the buffer size.
#include "fuzz_input.h"
#include "platform/line_reader.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file = fuzz::bytes(data, size);
    // Small buffers put the refills (and a CR LF split by one) everywhere.
    const qsizetype bufferSize = fuzz::takeByte(file) % 64;
    LineReader reader(fuzz::scratchFile(QStringLiteral("lines"), file), bufferSize);
    require(reader.isOpen(), "the file opens");

    qsizetype at = 0;
    while (const std::optional<QByteArrayView> line = reader.next()) {
        require(at < file.size(), "no line after the last line end");
        require(QByteArrayView(file).sliced(at).startsWith(*line), "a line is the input's next bytes");
        at += line->size();
        if (at == file.size())
            break;
        const char end = file.at(at);
        require(end == '\r' || end == '\n', "a line stops only at a line end");
        at += (end == '\r' && at + 1 < file.size() && file.at(at + 1) == '\n') ? 2 : 1;
    }
    require(at == file.size(), "the lines and their ends cover the whole input");
    require(!reader.next(), "nothing after the end");
    require(!reader.readFailed(), "no read failure");
    return 0;
}
