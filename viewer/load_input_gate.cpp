#include "viewer/load_input_gate.h"

#include <QApplication>
#include <QMenuBar>
#include <QMouseEvent>

namespace qelvrin {

namespace {

bool isOperatorInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

LoadInputGate::LoadInputGate(QWidget& window, QMenuBar& menuBar, QAction& exit)
    : m_window(window), m_menuBar(menuBar), m_exit(exit)
{
    qApp->installEventFilter(this);
}

LoadInputGate::~LoadInputGate()
{
    qApp->removeEventFilter(this);
}

bool LoadInputGate::meantForExit(QObject* watched, QEvent* event) const
{
    if (watched != &m_menuBar)
        return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return m_menuBar.actionAt(mouse->position().toPoint()) == &m_exit;
}

bool LoadInputGate::eventFilter(QObject* watched, QEvent* event)
{
    // Only the operator's own events are judged, once they reach a widget
    // (the window objects hand them on).
    if (!event->spontaneous() || !watched->isWidgetType())
        return false;
    if (event->type() == QEvent::Close) {
        if (watched == &m_window)
            return false;
        // Another window asked to close waits for the next request.
        event->ignore();
        return true;
    }
    if (!isOperatorInput(event->type()))
        return false;
    return !meantForExit(watched, event);
}

} // namespace qelvrin
