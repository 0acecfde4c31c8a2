#include "app/completion_panel.h"

#include "app/completion_panel_accessible.h"

#include <QAccessible>
#include <QPainter>

namespace qelvrin {

namespace {
const QColor kPanelGrey(192, 192, 192);
const QColor kFill(0, 0, 128);
}

CompletionPanel::CompletionPanel(QWidget* parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // Before anything asks for this panel's accessible face.
    QAccessible::installFactory(&CompletionPanelAccessible::create);
}

void CompletionPanel::setPercent(int percent)
{
    const int bounded = qBound(0, percent, 100);
    if (bounded == m_percent)
        return;
    m_percent = bounded;
    update();
    QAccessibleValueChangeEvent changed(this, m_percent);
    QAccessible::updateAccessibility(&changed);
}

void CompletionPanel::setTextColour(const QColor& colour)
{
    m_textColour = colour;
    update();
}

QString CompletionPanel::text() const
{
    return QString::number(m_percent) + QLatin1Char('%');
}

void CompletionPanel::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        const QRect inside = contentsRect();
        painter.fillRect(inside, kPanelGrey);
        QRect filled = inside;
        filled.setWidth(inside.width() * m_percent / 100);
        painter.fillRect(filled, kFill);
        painter.setPen(m_textColour);
        painter.setFont(font());
        painter.drawText(inside, Qt::AlignCenter, text());
    }
    QFrame::paintEvent(event);
}

} // namespace qelvrin
