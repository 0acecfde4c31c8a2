#include "standin/batch_log.h"

#include "platform/regular_open.h"

#include "platform/file_ops.h"

#include <algorithm>
#include <thread>

namespace qelvrin::standin {

namespace {

constexpr qsizetype kLineWidth = 66;
constexpr QByteArrayView kContinuation = "      ";
constexpr qsizetype kSourceNumberWidth = 11;

} // namespace

BatchLog::BatchLog(const QString& path, qint64 expectedBytes, int paceMs)
    : m_file(path), m_expected(std::max<qint64>(expectedBytes, 1)), m_pace(paceMs)
{
}

bool BatchLog::open(QString* error)
{
    // Unbuffered: each line reaches the file at once, and a write the disk
    // refuses fails here with its reason. A link planted in the log's place
    // is not followed.
    if (!files::openRegularForWriting(m_file, QFile::encodeName(m_file.fileName()), false, error))
        return false;
    m_start = std::chrono::steady_clock::now();
    return true;
}

void BatchLog::line(const QByteArray& text)
{
    m_bytes += text.size() + 2;
    if (failed())
        return;
    if (!files::writeAll(m_file, text + "\r\n")) {
        m_writeError = m_file.errorString();
        return;
    }
    pace();
}

void BatchLog::warning(const QByteArray& text)
{
    ++m_warnings;
    message("WARNING: ", text);
}

void BatchLog::error(const QByteArray& text)
{
    ++m_errors;
    message("ERROR: ", text);
}

void BatchLog::message(const QByteArray& prefix, const QByteArray& text)
{
    // Long messages wrap at a blank; continuation lines are indented. A word
    // is never split, so a word someone searches for stays on one line.
    QByteArray rest = prefix + text;
    while (rest.size() > kLineWidth) {
        qsizetype cut = rest.lastIndexOf(' ', kLineWidth);
        if (cut <= kContinuation.size())
            cut = rest.indexOf(' ', kLineWidth);
        if (cut < 0)
            break;
        line(rest.left(cut));
        rest = kContinuation.toByteArray() + rest.mid(cut + 1);
    }
    line(rest);
}

void BatchLog::beginStep(std::initializer_list<QByteArrayView> statements)
{
    line({});
    for (QByteArrayView statement : statements)
        line(QByteArray::number(++m_sourceLine).leftJustified(kSourceNumberWidth) + statement.toByteArray());
    line({});
    m_stepTimer.start();
}

void BatchLog::endStep(const QByteArray& what)
{
    ++m_steps;
    const double seconds = static_cast<double>(m_stepTimer.elapsed()) / 1000.0;
    note("The " + what + " ran for " + QByteArray::number(seconds, 'f', 2) + " seconds.");
}

void BatchLog::pace()
{
    if (m_pace.count() == 0)
        return;
    const qint64 done = std::min(m_bytes, m_expected);
    std::this_thread::sleep_until(m_start + m_pace * done / m_expected);
}

} // namespace qelvrin::standin
