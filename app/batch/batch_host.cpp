#include "app/batch/batch_host.h"

#include "app/batch/progress_line.h"
#include "app/command_state.h"

#include <QThread>

namespace qelvrin::batch {

BatchHost::BatchHost(const DriveMap& drives, BatchDialogs& dialogs, QTextStream& out, bool terminal)
    : m_drives(drives), m_dialogs(dialogs), m_out(out), m_terminal(terminal)
{
}

void BatchHost::PurgeStageData()
{
    CommandState commands;
    commands.PurgeStageData(m_drives);
}

void BatchHost::setRunningProgramName(const QString& name)
{
    m_stageName = name;
    m_percent = 0;
    m_overrun = false;
    m_clock.start();
    m_started = false;
}

void BatchHost::announceStart()
{
    m_started = true;
    if (!m_terminal) {
        m_out << m_stageName << " started\n";
        m_out.flush();
    }
}

void BatchHost::setCompletionBar(int percent, bool overrun)
{
    m_percent = percent;
    m_overrun = overrun;
    draw();
}

void BatchHost::setProgressPanelVisible(bool visible)
{
    // Hidden at the end of a stage, just before its verdict.
    if (!visible)
        m_dialogs.setVerdictNext();
    // Leave the last figure standing.
    if (visible || !m_terminal || m_stageName.isEmpty())
        return;
    draw();
    m_out << '\n';
    m_out.flush();
    m_dialogs.setLineOpen(false);
}

void BatchHost::setCaption(const QString& caption)
{
    // The data load names the SDG in the caption; that is worth a line.
    if (caption.contains(QStringLiteral("[ SDG:"))) {
        m_out << caption.trimmed() << '\n';
        m_out.flush();
    }
}

void BatchHost::showDoneMark(QChar)
{
    if (!m_terminal) {
        m_out << m_stageName << " ended after " << formatElapsed(m_clock.elapsed()) << '\n';
        m_out.flush();
    }
    m_stageName.clear();
}

void BatchHost::pause(int milliseconds)
{
    // The window's pause is there because its log may still grow; a job
    // whose processes have all ended cannot write it any more. Looks a few
    // milliseconds apart: an instant job ends within a millisecond of its
    // signal, and while the job lives a look costs one small read.
    QElapsedTimer waited;
    waited.start();
    qint64 step = 1;
    while (!(m_jobEnded && m_jobEnded())) {
        const qint64 left = milliseconds - waited.elapsed();
        if (left <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(qMin(step, left)));
        step = qMin<qint64>(step * 2, 4);
    }
}

void BatchHost::draw()
{
    // A stage refused while it was made ready never shows.
    if (!m_terminal || m_stageName.isEmpty() || !m_started)
        return;
    m_out << '\r' << progressLine(m_stageName, m_percent, m_overrun, m_clock.elapsed());
    m_out.flush();
    m_dialogs.setLineOpen(true);
}

} // namespace qelvrin::batch
