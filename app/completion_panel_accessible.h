#pragma once

#include <QAccessibleWidget>

namespace qelvrin {

class CompletionPanel;

// What assistive technology reads of the completion bar: a progress bar
// whose value is the percentage filled and whose text is the one painted
// across it ("45%").
class CompletionPanelAccessible : public QAccessibleWidget, public QAccessibleValueInterface, public QAccessibleTextInterface {
public:
    explicit CompletionPanelAccessible(CompletionPanel* panel);

    // For QAccessible::installFactory.
    static QAccessibleInterface* create(const QString& className, QObject* object);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text kind) const override;

    // QAccessibleValueInterface: read-only; only the stage moves the bar.
    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // QAccessibleTextInterface: the painted text, not selectable or editable.
    void selection(int, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    const CompletionPanel& panel() const;
    // The painted text's box in screen coordinates.
    QRect textRect() const;
};

} // namespace qelvrin
