#pragma once

#include "dialogs/dialogs.h"

#include <QStringList>
#include <QTextStream>

namespace qelvrin {
class DriveMap;
}

namespace qelvrin::batch {

// The operator's answers come from the command line: each file dialog takes
// the next SDG file (native paths), and the diskette question is answered Yes
// while files remain. Every message is printed with its exact text; a stop
// or warning box is an error and goes to `err`, unless it is a stage's
// verdict.
class BatchDialogs : public Dialogs {
public:
    // With further files, each one's folder goes into drive A: as its
    // diskette would, unless it already lies on a diskette drive: `drives`
    // changes then, for whoever shares it.
    BatchDialogs(DriveMap& drives, QStringList sdgFiles, QTextStream& out, QTextStream& err);

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;

    // Something may have drawn a progress line: messages start on a new line.
    void setLineOpen(bool open) { m_lineOpen = open; }
    // The next message is a stage's verdict, part of the transcript.
    void setVerdictNext() { m_verdictNext = true; }
    int filesTaken() const { return m_taken; }
    // The text of the last message, as printed.
    QString lastMessage() const { return m_lastMessage; }

private:
    DriveMap& m_drives;
    QStringList m_files;
    QTextStream& m_out;
    QTextStream& m_err;
    int m_taken = 0;
    bool m_verdictNext = false;
    QString m_lastMessage;
    bool m_lineOpen = false;
};

} // namespace qelvrin::batch
