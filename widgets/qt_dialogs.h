#pragma once

#include "dialogs/dialogs.h"
#include "platform/drive_map.h"

#include <QStringList>

class QWidget;

namespace qelvrin {

// The production dialogs: the window system's own boxes and common dialogs.
class QtDialogs : public Dialogs {
public:
    // `parent` owns the boxes while they are shown; may be null.
    explicit QtDialogs(QWidget* parent = nullptr, DriveMap drives = {}) : m_parent(parent), m_drives(std::move(drives)) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;
    std::unique_ptr<Dialogs> forWindow(QWidget& window) override;

private:
    QWidget* m_parent;
    DriveMap m_drives;
};

// "desc|pattern|desc|pattern" as Qt name filters ("desc (pattern)"); the
// patterns are kept as given, a ';' between patterns becomes a blank.
QStringList toNameFilters(const QString& filter);

// Where print output goes when the system has no printer: the document's
// name with ".pdf" in the user's documents folder (the home folder while
// there is none).
QString defaultPrintFile(const QString& documentName);

} // namespace qelvrin
