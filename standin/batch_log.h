#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <chrono>

namespace qelvrin::standin {

// The job log. Every line is appended and flushed at once so that a reader
// watching the file's size sees it grow; each line ends with CR LF. Writing
// is paced: after each line the writer waits until the share of the run time
// that the bytes written so far stand for has passed.
class BatchLog {
public:
    BatchLog(const QString& path, qint64 expectedBytes, int paceMs);

    bool open(QString* error);

    // True once a write failed (a full disk): later lines are counted but
    // not written, and the run is no longer paced.
    bool failed() const { return !m_writeError.isEmpty(); }
    QString writeError() const { return m_writeError; }

    void line(const QByteArray& text);
    void note(const QByteArray& text) { message("NOTE: ", text); }
    void warning(const QByteArray& text);
    void error(const QByteArray& text);

    // A step: its statements echoed with running line numbers, then its
    // messages, then its timing note.
    void beginStep(std::initializer_list<QByteArrayView> statements);
    void endStep(const QByteArray& what);

    qint64 bytes() const { return m_bytes; }
    qint64 expectedBytes() const { return m_expected; }
    int warnings() const { return m_warnings; }
    int errors() const { return m_errors; }
    int steps() const { return m_steps; }

private:
    void message(const QByteArray& prefix, const QByteArray& text);
    void pace();

    QFile m_file;
    QString m_writeError;
    qint64 m_expected;
    std::chrono::milliseconds m_pace;
    std::chrono::steady_clock::time_point m_start;
    QElapsedTimer m_stepTimer;
    qint64 m_bytes = 0;
    int m_sourceLine = 0;
    int m_warnings = 0;
    int m_errors = 0;
    int m_steps = 0;
};

} // namespace qelvrin::standin
