#pragma once
// The device thread: runs one job at a time (the rest of a tick's reads) off
// the UI thread, so that the window answers while a slow driver works. Only
// one thread talks to the driver at any time: the UI thread hands a job over
// and sends nothing until the job is done (it waits for it first, see wait()).
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace telvar5 {

class TickWorker {
public:
    TickWorker();
    // Waits for a job in hand, then ends the thread.
    ~TickWorker();
    TickWorker(const TickWorker&) = delete;
    TickWorker& operator=(const TickWorker&) = delete;

    // Runs `job` on the device thread, then `done` there too (to tell the UI
    // thread). Only while no job is in hand.
    void run(std::function<void()> job, std::function<void()> done);
    // Returns once the job in hand (if any) has run; its `done` may still be running.
    void wait();
    bool busy() const;

private:
    void loop();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;
    std::function<void()> done_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_; // last: starts once the rest is ready
};

} // namespace telvar5
