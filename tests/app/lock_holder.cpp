// Takes the single-copy lock of the drive given as its argument and holds it
// until it is killed: another copy of the program, as far as a test can tell.
#include "platform/single_instance.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    qelvrin::SingleInstanceGuard guard(QString::fromLocal8Bit(argv[1]));
    if (!guard.tryAcquire())
        return 1;
    std::printf("locked\n");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
