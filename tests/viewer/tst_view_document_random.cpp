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

// Follows the index of `line` through the blocks, skipping each block's
// closing blank, up to the CR LF that ends the stored line.
QByteArray lineFromIndex(const ViewDocument& document, qint64 line)
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
        const char c = document.TextBlock(block).at(position - 1);
        if (c == '\r')
            return text;
        text += c;
        ++position;
    }
}

class FileGenerator {
public:
    explicit FileGenerator(quint32 seed) : m_random(seed) {}

    QByteArray next()
    {
        const bool binary = m_random.bounded(4) == 0;
        const qint64 target = pickLength();
        QByteArray file;
        while (file.size() < target) {
            if (m_random.bounded(10) == 0)
                file += QByteArray(int(m_random.bounded(1, 3)), '\f');
            file += lineBody(binary, qMin<qint64>(pickLineLength(), target - file.size()));
            file += pickLineEnd();
        }
        // Often stop just short of a multiple of the block size.
        if (target > 0 && m_random.bounded(2) == 0)
            file.truncate(target);
        if (m_random.bounded(3) == 0)
            file.chop(qMin<qsizetype>(file.size(), 2));
        return file;
    }

private:
    qint64 pickLength()
    {
        switch (m_random.bounded(4)) {
        case 0:
            return m_random.bounded(200);
        case 1:
            return m_random.bounded(1, 5) * kBlock - m_random.bounded(1, 40);
        default:
            return m_random.bounded(160000);
        }
    }

    qint64 pickLineLength()
    {
        const int kind = m_random.bounded(100);
        if (kind < 70)
            return m_random.bounded(120);
        if (kind < 92)
            return m_random.bounded(3000);
        if (kind < 98)
            return m_random.bounded(19000, 31000);
        return m_random.bounded(30000, 75000);
    }

    QByteArray lineBody(bool binary, qint64 length)
    {
        QByteArray body(length, 'x');
        for (char& c : body) {
            if (binary) {
                do
                    c = char(m_random.bounded(256));
                while (c == '\r' || c == '\n');
            } else {
                c = char(m_random.bounded(32, 127));
            }
        }
        return body;
    }

    QByteArray pickLineEnd()
    {
        switch (m_random.bounded(5)) {
        case 0:
            return "\r";
        case 1:
            return "\n";
        default:
            return "\r\n";
        }
    }

    QRandomGenerator m_random;
};

} // namespace

class TestViewDocumentRandom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generatedFiles_matchReferenceModel_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 12; ++seed)
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }

    void generatedFiles_matchReferenceModel()
    {
        QFETCH(quint32, seed);
        FileGenerator generator(seed);
        for (int round = 0; round < 25; ++round) {
            const QByteArray file = generator.next();
            const LoadedDocument document(file);
            QVERIFY(document.loaded());
            const Model model(file);
            const QList<QByteArray> lines = splitLines(file);

            QCOMPARE(document->BlockCount(), qint64(model.blocks.size()));
            QCOMPARE(document->LineCount(), qint64(lines.size()));
            for (qint64 block = 1; block <= document->BlockCount(); ++block)
                QCOMPARE(document->TextBlock(block).toByteArray(), model.blocks[size_t(block - 1)]);
            for (qint64 line = 1; line <= document->LineCount(); ++line) {
                QCOMPARE(document->LineBlock(line), model.lineBlock[size_t(line - 1)]);
                QCOMPARE(document->LineStart(line), model.lineStart[size_t(line - 1)]);
                // Every byte of the file, less a line's leading form feed,
                // is reachable from the index.
                QCOMPARE(lineFromIndex(*document, line), storedLine(lines[line - 1]));
                QCOMPARE(document->viewText(line).toByteArray(), model.view(line));
            }
            QCOMPARE(document->viewText(0).toByteArray(), model.view(0));
        }
    }
};

QTEST_GUILESS_MAIN(TestViewDocumentRandom)
#include "tst_view_document_random.moc"
