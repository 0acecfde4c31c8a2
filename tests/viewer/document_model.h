#pragma once

#include "support/reference_lines.h"
#include "viewer/view_document.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace qelvrin::testing {

// The load written out straight from its rules, one block at a time.
struct DocumentModel {
    static constexpr qint64 kBlock = ViewDocument::BlockSize;

    std::vector<QByteArray> blocks;
    std::vector<qint64> lineBlock;
    std::vector<qint64> lineStart;

    explicit DocumentModel(const QByteArray& file)
    {
        blocks.assign(size_t(file.size() / kBlock + 1), QByteArray(kBlock, ' '));
        qint64 block = 1;
        qint64 position = 1;
        for (const QByteArray& line : splitLines(file)) {
            QByteArray text = (line.startsWith('\f') ? line.mid(1) : line) + "\r\n";
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

// Where a loaded document first differs from the model of `file`; empty when
// it agrees in every block, index entry, line and view.
inline QString documentMismatch(const ViewDocument& document, const QByteArray& file)
{
    const DocumentModel model(file);
    if (document.BlockCount() != qint64(model.blocks.size()))
        return QStringLiteral("block count");
    if (document.LineCount() != qint64(model.lineBlock.size()))
        return QStringLiteral("line count");
    for (qint64 block = 1; block <= document.BlockCount(); ++block) {
        if (document.TextBlock(block) != model.blocks[size_t(block - 1)])
            return QStringLiteral("text of block %1").arg(block);
    }
    // The model's blocks hold every line where its index says: equal blocks
    // and index entries leave every byte reachable from the index.
    for (qint64 line = 1; line <= document.LineCount(); ++line) {
        if (document.LineBlock(line) != model.lineBlock[size_t(line - 1)] || document.LineStart(line) != model.lineStart[size_t(line - 1)])
            return QStringLiteral("index entry of line %1").arg(line);
        if (document.viewText(line) != model.view(line))
            return QStringLiteral("view from line %1").arg(line);
    }
    if (document.viewText(0) != model.view(0))
        return QStringLiteral("view from line 0");
    return {};
}

} // namespace qelvrin::testing
