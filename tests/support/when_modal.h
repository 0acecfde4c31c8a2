#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace qelvrin::testing {

// Answers the next modal window from inside its own event loop, once it is up.
inline void whenModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

} // namespace qelvrin::testing
