#pragma once

#include <QObject>

namespace qelvrin {

// SIGTERM, SIGHUP and SIGINT (a kill, a logout, Ctrl-C) delivered as a Qt
// signal by the event loop, so the program can take its own way out. One
// object at a time; it puts the default actions back when it goes.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void deliver();
};

// Ends the process as the signal's default action would have, so whoever
// waits for it sees how it ended.
[[noreturn]] void endBySignal(int signalNumber);

} // namespace qelvrin
