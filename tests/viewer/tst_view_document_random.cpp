#include "viewer/view_document.h"

#include "document_files.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using qelvrin::ViewDocument;

namespace {

constexpr qint64 kBlock = ViewDocument::BlockSize;

// Lines of a file, split the plain way: at CR LF, lone CR or lone LF.
QList<QByteArray> splitLines(const QByteArray& file)
{
    QList<QByteArray> lines;
    qsizetype i = 0;
    while (i < file.size()) {
        qsizetype end = i;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        lines.append(file.mid(i, end - i));
        if (end < file.size())
            end += (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') ? 2 : 1;
        i = end;
    }
    return lines;
}

QByteArray storedLine(const QByteArray& line)
{
    return line.startsWith('\f') ? line.mid(1) : line;
}

// The load written out straight from its rules, one block at a time.
struct Model {
    std::vector<QByteArray> blocks;
    std::vector<qint64> lineBlock;
    std::vector<qint64> lineStart;

    explicit Model(const QByteArray& file)
    {
        blocks.assign(size_t(file.size() / kBlock + 1), QByteArray(kBlock, ' '));
        qint64 block = 1;
        qint64 position = 1;
        for (const QByteArray& line : splitLines(file)) {
            QByteArray text = storedLine(line) + "\r\n";
            lineBlock.push_back(block);
            lineStart.push_back(position);
            while (position + text.size() > kBlock) {
                const qint64 part = kBlock - position;
                write(block, position, text.left(part));
                text = text.mid(part);
                ++block;
                position = 1;
            }
            write(block, position, text);
            position += text.size();
        }
        const QByteArray mark(ViewDocument::EndOfFileMark);
        write(block, position, mark.left(kBlock - position + 1));
    }

    void write(qint64 block, qint64 position, const QByteArray& text)
    {
        while (qint64(blocks.size()) < block)
            blocks.push_back(QByteArray(kBlock, ' '));
        blocks[size_t(block - 1)].replace(position - 1, text.size(), text);
    }

    QByteArray view(qint64 v) const
    {
        const qint64 line = v < 1 ? 1 : v;
        const qint64 block = lineBlock.empty() ? 1 : lineBlock[size_t(line - 1)];
        const qint64 start = lineBlock.empty() ? 1 : lineStart[size_t(line - 1)];
        QByteArray text = blocks[size_t(block - 1)].mid(start - 1);
        if (start > ViewDocument::NextBlockThreshold && block < qint64(blocks.size()))
            text += blocks[size_t(block)].left(ViewDocument::NextBlockSpan);
        return text;
    }
};

// Follows the index of `line` through the document's blocks (read once
// into `blocks`), skipping each block's closing blank, up to the CR LF that
// ends the stored line.
QByteArray lineFromIndex(const ViewDocument& document, const std::vector<QByteArray>& blocks, qint64 line)
{
    qint64 block = document.LineBlock(line);
    qint64 position = document.LineStart(line);
    QByteArray text;
    for (;;) {
        if (position == kBlock) {
            ++block;
            position = 1;
        }
        if (block > document.BlockCount())
            return text + "<ran past the last block>";
        const char c = blocks[size_t(block - 1)].at(position - 1);
        if (c == '\r')
            return text;
        text += c;
        ++position;
    }
}

// Files of every kind the load must survive: binary bytes, form feeds, all
// three line ends, lines longer than a block, lengths just short of a
// multiple of the block size and a last line without an end. `mostlyCrLf`
// makes the batch logs' case: long runs of CR LF lines with a rare other
// line end or form feed among them.
QByteArray generatedFile(QRandomGenerator& random, bool mostlyCrLf)
{
    const bool binary = random.bounded(4) == 0;
    const int kind = random.bounded(4);
    const qint64 target = kind == 0 ? random.bounded(200)
        : kind == 1                 ? random.bounded(1, 5) * kBlock - random.bounded(1, 40)
                                    : random.bounded(160000);
    QByteArray file;
    while (file.size() < target) {
        if (random.bounded(mostlyCrLf ? 300 : 10) == 0)
            file += QByteArray(random.bounded(1, 3), '\f');
        const int lineKind = random.bounded(100);
        const qint64 length = lineKind < 70 ? random.bounded(120)
            : lineKind < 92                 ? random.bounded(3000)
            : lineKind < 98                 ? random.bounded(19000, 31000)
                                            : random.bounded(30000, 75000);
        QByteArray body(qMin<qint64>(length, target - file.size()), 'x');
        for (char& c : body) {
            do
                c = char(binary ? random.bounded(256) : random.bounded(32, 127));
            while (c == '\r' || c == '\n');
        }
        const int end = random.bounded(mostlyCrLf ? 400 : 5);
        file += body + (end == 0 ? "\r" : end == 1 ? "\n" : "\r\n");
    }
    if (target > 0 && random.bounded(2) == 0)
        file.truncate(target);
    if (random.bounded(3) == 0)
        file.chop(qMin<qsizetype>(file.size(), 2));
    return file;
}

} // namespace

class TestViewDocumentRandom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generatedFiles_matchReferenceModel_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("mostlyCrLf");
        for (quint32 seed = 1; seed <= 12; ++seed) {
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << false;
            QTest::newRow(qPrintable(QStringLiteral("seed %1, mostly CR LF").arg(seed))) << seed << true;
        }
    }

    void generatedFiles_matchReferenceModel()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, mostlyCrLf);
        QRandomGenerator random(seed);
        for (int round = 0; round < 25; ++round) {
            const QByteArray file = generatedFile(random, mostlyCrLf);
            const LoadedDocument document(file);
            QVERIFY(document.loaded());
            const Model model(file);
            const QList<QByteArray> lines = splitLines(file);

            QCOMPARE(document->BlockCount(), qint64(model.blocks.size()));
            QCOMPARE(document->LineCount(), qint64(lines.size()));
            std::vector<QByteArray> blocks;
            for (qint64 block = 1; block <= document->BlockCount(); ++block) {
                blocks.push_back(document->TextBlock(block));
                QCOMPARE(blocks.back(), model.blocks[size_t(block - 1)]);
            }
            for (qint64 line = 1; line <= document->LineCount(); ++line) {
                QCOMPARE(document->LineBlock(line), model.lineBlock[size_t(line - 1)]);
                QCOMPARE(document->LineStart(line), model.lineStart[size_t(line - 1)]);
                // Every byte of the file, less a line's leading form feed,
                // is reachable from the index.
                QCOMPARE(lineFromIndex(*document, blocks, line), storedLine(lines[line - 1]));
                QCOMPARE(document->viewText(line), model.view(line));
            }
            QCOMPARE(document->viewText(0), model.view(0));
        }
    }
};

QTEST_GUILESS_MAIN(TestViewDocumentRandom)
#include "tst_view_document_random.moc"
