#pragma once

#include "dialogs/dialogs.h"

#include <QString>

namespace qelvrin::bench {

// Answers the program's questions without an operator: every message box
// with OK, the print setup with a PDF file, everything else with Cancel.
class BenchDialogs : public Dialogs {
public:
    void setPdfPath(const QString& path) { m_pdfPath = path; }
    const QString& lastMessage() const { return m_lastMessage; }

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;

private:
    QString m_pdfPath;
    QString m_lastMessage;
};

} // namespace qelvrin::bench
