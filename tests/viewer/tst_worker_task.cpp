#include "viewer/worker_task.h"

#include <QSemaphore>
#include <QTest>

using namespace qelvrin;

class TestWorkerTask : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The window tests never reach this order of events: a result already
    // on its way to the GUI thread when the next task starts.
    void resultPostedBeforeTheNextStart_isDropped()
    {
        struct ReleaseOnThreadExit {
            QSemaphore* exited;
            ~ReleaseOnThreadExit() { exited->release(); }
        };
        QSemaphore exited;
        QStringList ran;
        WorkerTask task;
        task.start([&](const std::atomic_bool&) -> WorkerTask::Then {
            thread_local ReleaseOnThreadExit onExit{&exited};
            return [&] { ran << QStringLiteral("first"); };
        });
        // Blocks without running events, so the first result stays posted.
        QVERIFY(exited.tryAcquire(1, 10000));
        task.start([&](const std::atomic_bool&) -> WorkerTask::Then { return [&] { ran << QStringLiteral("second"); }; });
        QTRY_COMPARE(ran, QStringList{QStringLiteral("second")});
    }
};

QTEST_GUILESS_MAIN(TestWorkerTask)
#include "tst_worker_task.moc"
