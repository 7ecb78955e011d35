#include "vdrv/BenchConnection.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telvar5::vdrv {

namespace {

std::string errorLine(const std::string& why) { return "ERROR " + why + "\n"; }

// A handler that throws must not take the bench thread, and the program, with it.
std::string handled(const BenchConnection::Handler& handler, const std::string& line)
{
    try {
        return handler(line);
    } catch (const std::exception& e) {
        return errorLine(std::string("the driver could not answer: ") + e.what());
    } catch (...) {
        return errorLine("the driver could not answer");
    }
}

} // namespace

BenchConnection::~BenchConnection()
{
    if (fd_ >= 0)
        ::close(fd_);
}

BenchConnection::BenchConnection(BenchConnection&& other) noexcept
    : fd_(other.fd_), deadline_(other.deadline_), state_(other.state_), in_(std::move(other.in_)),
      out_(std::move(other.out_)), sent_(other.sent_)
{
    other.fd_ = -1;
}

BenchConnection& BenchConnection::operator=(BenchConnection&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        deadline_ = other.deadline_;
        state_ = other.state_;
        in_ = std::move(other.in_);
        out_ = std::move(other.out_);
        sent_ = other.sent_;
        other.fd_ = -1;
    }
    return *this;
}

short BenchConnection::pollEvents() const
{
    switch (state_) {
    case State::Reading: return POLLIN;
    case State::Replying: return POLLOUT;
    case State::Finished: break;
    }
    return 0;
}

void BenchConnection::onReady(short revents, const Handler& handler, std::size_t maxLine, TimePoint now,
                              std::chrono::milliseconds timeout)
{
    if (state_ == State::Reading && (revents & (POLLIN | POLLHUP | POLLERR)))
        read(handler, maxLine, now, timeout);
    else if (state_ == State::Replying && (revents & (POLLOUT | POLLHUP | POLLERR)))
        send(now, timeout);
}

void BenchConnection::onDeadline(std::chrono::milliseconds timeout)
{
    if (state_ == State::Reading) {
        out_ = errorLine("no complete command line within " + std::to_string(timeout.count()) + " ms");
        [[maybe_unused]] const ssize_t n = ::send(fd_, out_.data(), out_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    state_ = State::Finished;
}

void BenchConnection::read(const Handler& handler, std::size_t maxLine, TimePoint now,
                           std::chrono::milliseconds timeout)
{
    char buf[4096];
    for (;;) {
        const ssize_t n = ::recv(fd_, buf, sizeof buf, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n < 0 || (n == 0 && in_.empty())) {
            state_ = State::Finished;
            return;
        }
        const std::size_t seen = in_.size();
        in_.append(buf, static_cast<std::size_t>(n));
        std::size_t end = in_.find('\n', seen);
        if (n == 0) // a command without its newline still counts
            end = in_.size();
        if (end == std::string::npos ? in_.size() > maxLine : end > maxLine) {
            reply(errorLine("command line longer than " + std::to_string(maxLine) + " bytes"), now, timeout);
            return;
        }
        if (end != std::string::npos) {
            in_.resize(end);
            if (!in_.empty() && in_.back() == '\r')
                in_.pop_back();
            reply(handled(handler, in_), now, timeout);
            return;
        }
    }
}

void BenchConnection::reply(std::string text, TimePoint now, std::chrono::milliseconds timeout)
{
    in_.clear();
    in_.shrink_to_fit();
    out_ = std::move(text);
    sent_ = 0;
    state_ = State::Replying;
    deadline_ = now + timeout;
    send(now, timeout);
}

void BenchConnection::send(TimePoint now, std::chrono::milliseconds timeout)
{
    while (sent_ < out_.size()) {
        const ssize_t n = ::send(fd_, out_.data() + sent_, out_.size() - sent_, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return; // the rest when the client has read some
        if (n <= 0) {
            state_ = State::Finished;
            return;
        }
        sent_ += static_cast<std::size_t>(n);
        deadline_ = now + timeout; // a client that keeps reading keeps its connection
    }
    state_ = State::Finished;
}

void refuseBenchClient(int fd, const std::string& why)
{
    const std::string text = errorLine(why);
    [[maybe_unused]] const ssize_t n = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(fd);
}

} // namespace telvar5::vdrv
