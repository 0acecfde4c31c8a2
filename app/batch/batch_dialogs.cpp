#include "app/batch/batch_dialogs.h"

#include "platform/drive_map.h"

#include <QFileInfo>

namespace qelvrin::batch {

namespace {

const char* answerText(Answer answer)
{
    switch (answer) {
    case Answer::Ok:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "";
}

} // namespace

BatchDialogs::BatchDialogs(DriveMap& drives, QStringList sdgFiles, QTextStream& out, QTextStream& err)
    : m_drives(drives), m_files(std::move(sdgFiles)), m_out(out), m_err(err)
{
}

Answer BatchDialogs::message(const MessageBoxRequest& request)
{
    if (m_lineOpen) {
        m_out << '\n';
        m_lineOpen = false;
    }
    QString text = withLineFeeds(request.text);
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    m_lastMessage = text;
    Answer answer = Answer::Ok;
    switch (request.buttons) {
    case MsgButtons::Ok:
        break;
    case MsgButtons::YesNo:
        answer = m_taken < m_files.size() ? Answer::Yes : Answer::No;
        break;
    case MsgButtons::OkCancel:
        answer = Answer::Cancel;
        break;
    }
    const bool error = request.icon == MsgIcon::Critical || request.icon == MsgIcon::Exclamation;
    QTextStream& to = error && !m_verdictNext ? m_err : m_out;
    m_verdictNext = false;
    to << text;
    // A question is printed with the answer given, as a transcript reads.
    if (request.buttons != MsgButtons::Ok)
        to << (!text.isEmpty() && text.back().isSpace() ? "" : " ") << answerText(answer);
    to << '\n';
    to.flush();
    return answer;
}

std::optional<QString> BatchDialogs::input(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

QString BatchDialogs::openFile(const FileOpenRequest&)
{
    if (m_taken >= m_files.size())
        return {};
    const QString file = m_files.at(m_taken++);
    // The data load asks for the next diskette only for a file on A: or B:;
    // on a cluster the diskettes are folders anywhere.
    const QString dos = m_drives.toDos(file);
    const bool onDiskette = dos.startsWith(QLatin1String("A:")) || dos.startsWith(QLatin1String("B:"));
    if (m_files.size() > 1 && !onDiskette)
        m_drives = DriveMap(m_drives.root(), QFileInfo(file).absolutePath(), m_drives.driveB());
    return file;
}

bool BatchDialogs::chooseFont(FontChoice&)
{
    return false;
}

bool BatchDialogs::setupPrinter(QPrinter&)
{
    return false;
}

} // namespace qelvrin::batch
