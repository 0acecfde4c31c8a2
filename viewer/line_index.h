#pragma once

#include "platform/reserved_memory.h"

#include <QByteArrayView>
#include <QtGlobal>

#include <bit>
#include <vector>

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
// 191 bytes long, a flag byte and the length otherwise; a checkpoint with
// the full offsets at least every LinesPerCheckpoint lines, so finding a
// line reads at most that many entries.
// An index may be written in parts, each on its own thread: the whole index
// reserves the entries' memory, each part writes only its own stretch of it
// and its own checkpoints, and the whole takes the parts back, in file
// order, once every thread is done.
class LineIndex {
public:
    // Few enough that a gigabyte of log needs about a megabyte of them (each
    // page first written costs a fault), near enough that a walk to a line
    // stays in the microseconds.
    static constexpr qint64 LinesPerCheckpoint = 512;

    LineIndex() = default;
    LineIndex(const LineIndex&) = delete;
    LineIndex& operator=(const LineIndex&) = delete;

    void clear();
    // Address space for the lines of `fileBytes` bytes, however they run,
    // kept in `parts` stretches (one per part, in file order).
    void reserveFor(qint64 fileBytes, int parts = 1);
    // Makes `part` (empty) the writer of the lines of the file from
    // `fileStart` into stretch `number` of this index's reservation. It
    // writes into this index's memory: one part per stretch, and no other
    // use of this index until adopt() took them all.
    void beginPart(LineIndex& part, int number, qint64 fileStart) const;
    // Appends the lines of `count` parts, which follow one another in the
    // file, to this index (empty).
    void adopt(const LineIndex* parts, int count);
    // Room for the lines of `bytes` more bytes of the file (not in a part).
    void makeRoomFor(qint64 bytes);

    // Appends the line that begins where the last one ended.
    void append(qint64 fileLength, LineEnd end, bool formFeed);
    // Appends the lines of CR LF that end at the set bits of `ends`: bit b
    // for a line followed by file offset `base` + b. The short ones, nearly
    // every line of a log, are written from locals, which a store of a
    // byte would otherwise force back to memory line after line.
    void appendCrLfEnds(quint64 ends, qint64 base)
    {
        auto* out = reinterpret_cast<unsigned char*>(m_recordData) + m_recordBytes;
        qint64 fileEnd = m_fileEnd;
        qint64 count = m_count;
        const auto store = [&] {
            m_recordBytes = out - reinterpret_cast<unsigned char*>(m_recordData);
            m_textEnd += fileEnd - m_fileEnd;
            m_fileEnd = fileEnd;
            m_count = count;
        };
        for (; ends; ends &= ends - 1) {
            const qint64 fileLength = base + std::countr_zero(ends) - fileEnd;
            if (fileLength >= kLongestShort || count == m_nextCheckpoint) {
                store();
                append(fileLength, LineEnd::CrLf, false);
                out = reinterpret_cast<unsigned char*>(m_recordData) + m_recordBytes;
                fileEnd = m_fileEnd;
                count = m_count;
                continue;
            }
            *out++ = static_cast<unsigned char>(fileLength);
            fileEnd += fileLength;
            ++count;
        }
        store();
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
        qint64 line;
        qint64 fileStart;
        qint64 textStart;
        qint64 record;
    };

    qint64 stretchOf(int part) const;
    qint64 checkpointOf(qint64 index) const;
    IndexedLine decode(qint64 record, qint64 fileStart, qint64 textStart) const;
    IndexedLine walk(qint64 checkpoint, qint64 steps) const;

    ReservedMemory m_records;
    char* m_recordData = nullptr; // m_records' bytes, or those of the whole for a part
    std::vector<Checkpoint> m_checkpoints;
    qint64 m_recordBytes = 0; // where the next entry goes
    qint64 m_partBytes = 0;   // the file bytes each stretch was reserved for
    qint64 m_gapBytes = 0;    // entries' memory between stretches, unused
    bool m_isPart = false;
    qint64 m_count = 0;
    qint64 m_nextCheckpoint = 0; // the line that gets the next checkpoint
    qint64 m_fileEnd = 0;
    qint64 m_textEnd = 0;
};

} // namespace qelvrin
