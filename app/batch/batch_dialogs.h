#pragma once

#include "platform/dialogs.h"

#include <QStringList>
#include <QTextStream>

namespace qelvrin {
class DriveMap;
}

namespace qelvrin::batch {

// The operator's answers come from the command line: each file dialog takes
// the next SDG file, and the diskette question is answered Yes while files
// remain. Every message is printed with its exact text.
class BatchDialogs : public Dialogs {
public:
    BatchDialogs(const DriveMap& drives, QStringList sdgFiles, QTextStream& out);

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;

    // Native path of an SDG file argument: a DOS path names a file on one of
    // our drives, anything else is native.
    static QString nativeSdgPath(const DriveMap& drives, const QString& given);

    // Something may have drawn a progress line: messages start on a new line.
    void setLineOpen(bool open) { m_lineOpen = open; }
    int filesTaken() const { return m_taken; }
    // The text of the last message, as printed.
    QString lastMessage() const { return m_lastMessage; }

private:
    const DriveMap& m_drives;
    QStringList m_files;
    QTextStream& m_out;
    int m_taken = 0;
    QString m_lastMessage;
    bool m_lineOpen = false;
};

} // namespace qelvrin::batch
