#include "vdrv/BenchServer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace telvar5::vdrv {

namespace {

constexpr std::size_t kMaxCommandLine = 16 * 1024;
constexpr int kClientTimeoutMs = 2000; // a silent client cannot hold the bench

bool fillAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Whether a driver is listening on the socket file now.
bool socketAlive(const sockaddr_un& addr)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool alive = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return alive;
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

BenchServer::~BenchServer() { stop(); }

bool BenchServer::start(const std::string& path, Handler handler, std::string& error)
{
    if (running()) {
        error = "the bench socket is already running";
        return false;
    }
    sockaddr_un addr;
    if (!fillAddress(path, addr)) {
        error = "bench socket path empty or longer than " + std::to_string(sizeof addr.sun_path - 1) + " bytes";
        return false;
    }
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = path + " exists and is not a socket";
            return false;
        }
        if (socketAlive(addr)) {
            error = path + " is in use by another running driver";
            return false;
        }
        ::unlink(path.c_str()); // left by a driver that ended without cleaning up
    }
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int wake[2];
    if (listenFd_ < 0 || ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create the bench socket: ") + std::strerror(errno);
        closeFd(listenFd_);
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(listenFd_, 8) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        closeFd(listenFd_);
        closeFd(wakeRead_);
        closeFd(wakeWrite_);
        return false;
    }
    path_ = path;
    handler_ = std::move(handler);
    thread_ = std::thread([this] { serve(); });
    return true;
}

void BenchServer::stop()
{
    if (!thread_.joinable())
        return;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
    thread_.join();
    closeFd(listenFd_);
    closeFd(wakeRead_);
    closeFd(wakeWrite_);
    ::unlink(path_.c_str());
}

void BenchServer::serve()
{
    for (;;) {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                serveClient(client);
                ::close(client);
            }
        }
    }
}

void BenchServer::serveClient(int fd)
{
    std::string line;
    char buf[1024];
    for (;;) {
        pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {fd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, kClientTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0 || fds[0].revents != 0)
            return;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break; // a command without its newline still counts
        line.append(buf, static_cast<std::size_t>(n));
        if (line.find('\n') != std::string::npos)
            break;
        if (line.size() > kMaxCommandLine) {
            const std::string reply = "ERROR command line too long\n";
            ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            return;
        }
    }
    const std::size_t nl = line.find('\n');
    if (nl != std::string::npos)
        line.resize(nl);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    const std::string reply = handler_(line);
    std::size_t sent = 0;
    while (sent < reply.size()) {
        pollfd pfd{fd, POLLOUT, 0};
        if (::poll(&pfd, 1, kClientTimeoutMs) <= 0)
            return;
        const ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += static_cast<std::size_t>(n);
    }
}

} // namespace telvar5::vdrv
