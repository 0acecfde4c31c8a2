#pragma once

#include "platform/dialogs.h"

#include <QStringList>

class QWidget;

namespace qelvrin {

// The production dialogs: the window system's own boxes and common dialogs.
class QtDialogs : public Dialogs {
public:
    // `parent` owns the boxes while they are shown; may be null.
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;
    std::unique_ptr<Dialogs> forWindow(QWidget& window) override;

private:
    QWidget* m_parent;
};

// "desc|pattern|desc|pattern" as Qt name filters ("desc (pattern)"); the
// patterns are kept as given, a ';' between patterns becomes a blank.
QStringList toNameFilters(const QString& filter);

// Where print output goes when the system has no printer.
QString defaultPrintFile();

} // namespace qelvrin
