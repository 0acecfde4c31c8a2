#include "bench/steps.h"

#include "viewer/view_file.h"

#include <memory>

namespace qelvrin::bench {

void runSteps(QList<Step> steps, const std::function<void()>& done)
{
    if (steps.isEmpty()) {
        done();
        return;
    }
    const Step first = steps.takeFirst();
    first([steps, done] { runSteps(steps, done); });
}

void afterReading(ViewFile* window, const std::function<void()>& then)
{
    if (!window || !window->reading()) {
        then();
        return;
    }
    // Whichever comes first, the read's end or the window's going, and once.
    auto connections = std::make_shared<QList<QMetaObject::Connection>>();
    const auto once = [connections, then] {
        const std::function<void()> run = then; // outlives the connections
        const auto ending = connections;
        for (const QMetaObject::Connection& connection : std::as_const(*ending))
            QObject::disconnect(connection);
        run();
    };
    *connections << QObject::connect(window, &ViewFile::readingEnded, window, once, Qt::QueuedConnection)
                 << QObject::connect(window, &QObject::destroyed, once);
}

} // namespace qelvrin::bench
