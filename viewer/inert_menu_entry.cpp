#include "viewer/inert_menu_entry.h"

#include <QAccessible>
#include <QAction>
#include <QMenuBar>
#include <QPointer>

namespace qelvrin {

namespace {

const char* const kInertProperty = "qelvrinInertEntry";

class InertMenuEntry : public QAccessibleInterface {
public:
    explicit InertMenuEntry(QAction* entry)
        : m_entry(entry)
    {
    }

    bool isValid() const override { return bar() != nullptr; }
    QObject* object() const override { return m_entry; }
    QWindow* window() const override { return bar() ? bar()->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(bar()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text) const override { return {}; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Separator; }

    QRect rect() const override
    {
        const QMenuBar* owner = bar();
        if (!owner)
            return {};
        return owner->actionGeometry(m_entry).translated(owner->mapToGlobal(QPoint(0, 0)));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        const QMenuBar* owner = bar();
        state.invisible = !owner || !owner->isVisible() || !m_entry->isVisible();
        state.focused = owner && owner->activeAction() == m_entry;
        return state;
    }

private:
    QMenuBar* bar() const { return m_entry ? qobject_cast<QMenuBar*>(m_entry->parent()) : nullptr; }

    QPointer<QAction> m_entry;
};

QAccessibleInterface* inertEntryFor(const QString& className, QObject* object)
{
    if (className != QLatin1String("QAction") || !object->property(kInertProperty).toBool())
        return nullptr;
    return new InertMenuEntry(static_cast<QAction*>(object));
}

} // namespace

void markInertMenuEntry(QAction* entry)
{
    entry->setProperty(kInertProperty, true);
    QAccessible::installFactory(&inertEntryFor);
}

} // namespace qelvrin
