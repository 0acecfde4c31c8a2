#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <unistd.h>

namespace qelvrin::testing {

// A file's permissions bind an operator but not root, for whom CI runs the
// tests. As root, the program under test runs as nobody (setpriv) on files
// handed over to nobody; as any other user, as that user.
struct Unprivileged {
    static bool needed() { return ::geteuid() == 0; }

    // What goes before a command line to run it unprivileged.
    static QStringList wrapper()
    {
        if (!needed())
            return {};
        return QStringList{"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"};
    }

    // Gives the folder and everything in it to the user the program runs as.
    static bool handOver(const QString& dir)
    {
        return !needed() || QProcess::execute(QStringLiteral("chown"), {"-R", "nobody:nogroup", dir}) == 0;
    }
};

} // namespace qelvrin::testing
