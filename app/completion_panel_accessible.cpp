#include "app/completion_panel_accessible.h"

#include "app/completion_panel.h"

#include <QFontMetrics>

namespace qelvrin {

CompletionPanelAccessible::CompletionPanelAccessible(CompletionPanel* panel)
    : QAccessibleWidget(panel, QAccessible::ProgressBar)
{
}

QAccessibleInterface* CompletionPanelAccessible::create(const QString& className, QObject* object)
{
    if (className != QLatin1String(CompletionPanel::staticMetaObject.className()))
        return nullptr;
    auto* panel = qobject_cast<CompletionPanel*>(object);
    return panel ? new CompletionPanelAccessible(panel) : nullptr;
}

const CompletionPanel& CompletionPanelAccessible::panel() const
{
    return *static_cast<const CompletionPanel*>(widget());
}

void* CompletionPanelAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString CompletionPanelAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value)
        return panel().text();
    return QAccessibleWidget::text(kind);
}

QVariant CompletionPanelAccessible::currentValue() const
{
    return panel().percent();
}

QVariant CompletionPanelAccessible::maximumValue() const
{
    return 100;
}

QVariant CompletionPanelAccessible::minimumValue() const
{
    return 0;
}

QVariant CompletionPanelAccessible::minimumStepSize() const
{
    return 1;
}

void CompletionPanelAccessible::selection(int, int* startOffset, int* endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

QString CompletionPanelAccessible::text(int startOffset, int endOffset) const
{
    const QString all = panel().text();
    const int start = qBound(0, startOffset, int(all.size()));
    // An end of -1 means to the end of the text.
    const int end = endOffset < 0 ? int(all.size()) : qBound(start, endOffset, int(all.size()));
    return all.mid(start, end - start);
}

int CompletionPanelAccessible::characterCount() const
{
    return int(panel().text().size());
}

QRect CompletionPanelAccessible::textRect() const
{
    const QFontMetrics metrics(panel().font());
    QRect box = metrics.boundingRect(panel().contentsRect(), Qt::AlignCenter, panel().text());
    return box.translated(panel().mapToGlobal(QPoint(0, 0)));
}

QRect CompletionPanelAccessible::characterRect(int offset) const
{
    const QString all = panel().text();
    if (offset < 0 || offset >= all.size())
        return {};
    const QFontMetrics metrics(panel().font());
    const QRect box = textRect();
    const int left = box.left() + metrics.horizontalAdvance(all.left(offset));
    return {left, box.top(), metrics.horizontalAdvance(all.at(offset)), box.height()};
}

int CompletionPanelAccessible::offsetAtPoint(const QPoint& point) const
{
    for (int offset = 0; offset < characterCount(); ++offset) {
        if (characterRect(offset).contains(point))
            return offset;
    }
    return -1;
}

QString CompletionPanelAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    // One run without attributes of its own.
    *startOffset = offset < 0 || offset >= characterCount() ? -1 : 0;
    *endOffset = *startOffset < 0 ? -1 : characterCount();
    return {};
}

} // namespace qelvrin
