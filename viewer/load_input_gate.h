#pragma once

#include <QObject>

class QMenuBar;
class QAction;
class QWidget;

namespace qelvrin {

// While the viewer reads a file it keeps the event loop turning so that the
// windows repaint. For as long as the gate lives, the operator's input
// reaches only what can end that reading: the window's own Exit and the
// closing of the window. Input meant for anything else is dropped, as a busy
// window would have ignored it.
class LoadInputGate : public QObject {
public:
    LoadInputGate(QWidget& window, QMenuBar& menuBar, QAction& exit);
    ~LoadInputGate() override;
    LoadInputGate(const LoadInputGate&) = delete;
    LoadInputGate& operator=(const LoadInputGate&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool meantForExit(QObject* watched, QEvent* event) const;

    QWidget& m_window;
    QMenuBar& m_menuBar;
    QAction& m_exit;
};

} // namespace qelvrin
