#pragma once
// One client of the bench socket: its command line coming in, bounded in size
// and in time, then the reply going out. The socket is non-blocking and owned
// here; the server's thread polls it and calls in when it is ready or late.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

namespace telvar5::vdrv {

class BenchConnection {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    using Handler = std::function<std::string(const std::string& line)>;

    BenchConnection(int fd, TimePoint deadline) : fd_(fd), deadline_(deadline) {}
    ~BenchConnection();
    BenchConnection(BenchConnection&& other) noexcept;
    BenchConnection& operator=(BenchConnection&& other) noexcept;
    BenchConnection(const BenchConnection&) = delete;
    BenchConnection& operator=(const BenchConnection&) = delete;

    int fd() const { return fd_; }
    short pollEvents() const;
    TimePoint deadline() const { return deadline_; }
    bool finished() const { return state_ == State::Finished; }

    // The socket is ready (revents from poll). A complete line goes to the
    // handler; a line longer than maxLine gets an error. Each reply has until
    // now + timeout to go out.
    void onReady(short revents, const Handler& handler, std::size_t maxLine, TimePoint now,
                 std::chrono::milliseconds timeout);
    // The deadline passed: a client still sending is told so; either way it ends.
    void onDeadline(std::chrono::milliseconds timeout);

private:
    enum class State { Reading, Replying, Finished };

    void read(const Handler& handler, std::size_t maxLine, TimePoint now, std::chrono::milliseconds timeout);
    void reply(std::string text, TimePoint now, std::chrono::milliseconds timeout);
    void send(TimePoint now, std::chrono::milliseconds timeout);

    int fd_;
    TimePoint deadline_;
    State state_ = State::Reading;
    std::string in_;
    std::string out_;
    std::size_t sent_ = 0;
};

// Tells a client it is turned away, as far as its socket takes it without
// waiting, and closes the socket.
void refuseBenchClient(int fd, const std::string& why);

} // namespace telvar5::vdrv
