#include "core/input/TickWorker.h"

namespace telvar5 {

TickWorker::TickWorker() : thread_([this] { loop(); }) {}

TickWorker::~TickWorker()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void TickWorker::run(std::function<void()> job, std::function<void()> done)
{
    {
        std::lock_guard lock(mutex_);
        job_ = std::move(job);
        done_ = std::move(done);
        busy_ = true;
    }
    changed_.notify_all();
}

void TickWorker::wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

bool TickWorker::busy() const
{
    std::lock_guard lock(mutex_);
    return busy_;
}

void TickWorker::loop()
{
    for (;;) {
        std::function<void()> job;
        std::function<void()> done;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return busy_ || stopping_; });
            if (!busy_)
                return; // stopping, nothing in hand
            job = std::move(job_);
            done = std::move(done_);
        }
        job();
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        changed_.notify_all();
        if (done)
            done();
    }
}

} // namespace telvar5
