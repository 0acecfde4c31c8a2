#include "platform/termination_signals.h"

#include "platform/interrupt.h"

#include <QSocketNotifier>

#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace qelvrin {

namespace {

constexpr int kHandled[] = {SIGTERM, SIGHUP, SIGINT};
int wakeFds[2] = {-1, -1};

void onSignal(int signalNumber)
{
    // A long read on the event-loop thread would not see the wake-up below.
    interrupt::request();
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0)
        return;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &TerminationSignals::deliver);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signalNumber : kHandled)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    for (const int signalNumber : kHandled)
        ::signal(signalNumber, SIG_DFL);
    interrupt::clear();
    for (int& fd : wakeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void TerminationSignals::deliver()
{
    unsigned char byte = 0;
    while (::read(wakeFds[1], &byte, 1) == 1)
        Q_EMIT received(byte);
}

void endBySignal(int signalNumber)
{
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
    std::_Exit(128 + signalNumber);
}

} // namespace qelvrin
