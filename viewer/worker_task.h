#pragma once

#include <QObject>

#include <atomic>
#include <functional>
#include <memory>

namespace qelvrin {

// The one long read of a viewer window in flight (a load, a search, the
// reading of a printout), run on a worker thread while the GUI thread's
// event loop goes on. The work touches only what it was handed and what it
// builds; what it returns runs afterwards on the GUI thread, which alone
// touches the window. Abandoning ends the work early and drops its result.
class WorkerTask {
public:
    using Then = std::function<void()>;
    using Work = std::function<Then(const std::atomic_bool& abandoned)>;

    WorkerTask();
    ~WorkerTask();
    WorkerTask(const WorkerTask&) = delete;
    WorkerTask& operator=(const WorkerTask&) = delete;

    // Runs `work` on a worker thread, a task in flight abandoned first.
    void start(Work work);
    // Ends the task in flight, if any, and waits for its thread.
    void abandon();
    // True from start() until what the work returned begins to run.
    bool running() const { return m_job != nullptr; }

private:
    struct Job;

    // Lives on the GUI thread: a result posted to it after the task went
    // is dropped with it.
    QObject m_receiver;
    std::unique_ptr<Job> m_job;
    quint64 m_started = 0;
};

} // namespace qelvrin
