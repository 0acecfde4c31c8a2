#pragma once

#include "platform/reserved_memory.h"

#include <QByteArrayView>
#include <QtGlobal>

namespace qelvrin {

// How a line ends in the file. Every line ends in CR LF in the text the
// viewer shows; `None` is a last line the file leaves open.
enum class LineEnd : quint8 { CrLf = 0, Cr = 1, Lf = 2, None = 3 };

// The bytes of such an end in the file.
QByteArrayView lineEndBytes(LineEnd end);

// One line of the file, and where its text lies in the viewer's text.
struct IndexedLine {
    qint64 fileStart = 0;
    qint64 textStart = 0;
    qint64 fileLength = 0; // its leading form feed and line end included
    bool formFeed = false; // begins with a form feed, which the text drops
    LineEnd end = LineEnd::CrLf;
    qint64 nextRecord = 0; // where the next line's entry begins

    qint64 contentStart() const { return fileStart + (formFeed ? 1 : 0); }
    qint64 contentLength() const { return fileLength - (formFeed ? 1 : 0) - lineEndBytes(end).size(); }
    qint64 textLength() const { return contentLength() + 2; }
    qint64 fileEnd() const { return fileStart + fileLength; }
    qint64 textEnd() const { return textStart + textLength(); }
};

// The lines of a file, a few bytes each: one byte for a line of CR LF up to
// 191 bytes long, a flag byte and the length otherwise; every
// LinesPerCheckpoint lines a checkpoint with the full offsets, so finding a
// line reads at most that many entries.
class LineIndex {
public:
    static constexpr qint64 LinesPerCheckpoint = 128;

    void clear();
    // Address space for a file of `fileBytes`, however its lines run.
    void reserveFor(qint64 fileBytes);
    // Room for the lines of `bytes` more bytes of the file.
    void makeRoomFor(qint64 bytes);

    // Appends the line that begins where the last one ended.
    void append(qint64 fileLength, LineEnd end, bool formFeed);
    void appendCrLf(qint64 fileLength)
    {
        if (fileLength < kLongestShort && m_count % LinesPerCheckpoint != 0) {
            m_records.data()[m_recordBytes++] = char(fileLength);
            m_fileEnd += fileLength;
            m_textEnd += fileLength;
            ++m_count;
        } else {
            append(fileLength, LineEnd::CrLf, false);
        }
    }
    void dropLast();

    qint64 count() const { return m_count; }
    qint64 fileEnd() const { return m_fileEnd; } // where a next line would begin
    qint64 textEnd() const { return m_textEnd; }
    qint64 bytesUsed() const;

    // Line 0 to count() - 1.
    IndexedLine line(qint64 index) const;
    // The line that follows `line` (not the last).
    IndexedLine next(const IndexedLine& line) const;
    // The line whose text holds `textOffset` (below textEnd()).
    IndexedLine lineAtText(qint64 textOffset) const;

private:
    static constexpr qint64 kLongestShort = 0xC0;

    struct Checkpoint {
        qint64 fileStart;
        qint64 textStart;
        qint64 record;
    };

    // One for every LinesPerCheckpoint lines begun.
    qint64 checkpointCount() const { return (m_count + LinesPerCheckpoint - 1) / LinesPerCheckpoint; }
    const Checkpoint* checkpoints() const { return reinterpret_cast<const Checkpoint*>(m_checkpoints.data()); }
    IndexedLine decode(qint64 record, qint64 fileStart, qint64 textStart) const;
    IndexedLine walk(qint64 checkpoint, qint64 steps) const;

    ReservedMemory m_records;
    ReservedMemory m_checkpoints;
    qint64 m_recordBytes = 0;
    qint64 m_count = 0;
    qint64 m_fileEnd = 0;
    qint64 m_textEnd = 0;
};

} // namespace qelvrin
