#include "viewer/worker_task.h"

#include <thread>

namespace qelvrin {

struct WorkerTask::Job {
    std::atomic_bool abandoned{false};
    std::thread thread;
};

WorkerTask::WorkerTask() = default;

WorkerTask::~WorkerTask()
{
    abandon();
}

void WorkerTask::start(Work work)
{
    abandon();
    m_job = std::make_unique<Job>();
    const quint64 number = ++m_started;
    Job* job = m_job.get();
    job->thread = std::thread([this, job, number, work = std::move(work)] {
        Then then = work(job->abandoned);
        if (job->abandoned.load())
            return;
        // Queued to the GUI thread; `this` is only touched there, and only
        // while m_receiver (the context) lives.
        QMetaObject::invokeMethod(&m_receiver, [this, number, then = std::move(then)] {
            if (number != m_started || !m_job)
                return; // abandoned after its result was posted
            m_job->thread.join();
            m_job.reset();
            if (then)
                then();
        }, Qt::QueuedConnection);
    });
}

void WorkerTask::abandon()
{
    if (!m_job)
        return;
    m_job->abandoned.store(true);
    m_job->thread.join();
    m_job.reset();
}

} // namespace qelvrin
