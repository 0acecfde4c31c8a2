// The line reader: the pieces it gives, each line's last followed by the
// line end that stopped it, give back the input byte for byte, whatever the
// buffer size; only a line longer than the buffer comes in pieces, each as
// long as the buffer; and whole lines are those lines cut to the buffer.
#include "fuzz_input.h"
#include "platform/line_reader.h"

using namespace qelvrin;
using fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray file = fuzz::bytes(data, size);
    // Small buffers put the refills (and a CR LF split by one) everywhere.
    const qsizetype bufferSize = fuzz::takeByte(file) % 64;
    const qsizetype capacity = qMax<qsizetype>(bufferSize, 16);
    const QString path = fuzz::scratchFile(QStringLiteral("lines"), file);
    LineReader reader(path, bufferSize);
    require(reader.isOpen(), "the file opens");

    QList<QByteArray> lines;
    QByteArray line;
    qsizetype at = 0;
    while (const std::optional<LineReader::Piece> piece = reader.nextPiece()) {
        require(QByteArrayView(file).sliced(at).startsWith(piece->bytes), "a piece is the input's next bytes");
        at += piece->bytes.size();
        line += piece->bytes;
        if (!piece->lineEnds) {
            require(piece->bytes.size() == capacity, "only a full buffer leaves a line unended");
            continue;
        }
        lines.append(line);
        line.clear();
        if (at == file.size())
            break;
        const char end = file.at(at);
        require(end == '\r' || end == '\n', "a line stops only at a line end");
        at += (end == '\r' && at + 1 < file.size() && file.at(at + 1) == '\n') ? 2 : 1;
    }
    require(at == file.size(), "the lines and their ends cover the whole input");
    require(!reader.nextPiece(), "nothing after the end");
    require(!reader.readFailed(), "no read failure");

    LineReader whole(path, bufferSize);
    for (const QByteArray& expected : lines) {
        const std::optional<QByteArrayView> got = whole.next();
        require(got && *got == QByteArrayView(expected).first(qMin(expected.size(), capacity)), "a whole line is the line cut to the buffer");
        require(whole.lastLineCut() == (expected.size() > capacity), "a cut is told exactly when the line is longer");
    }
    require(!whole.next(), "whole lines end with the pieces");
    return 0;
}
