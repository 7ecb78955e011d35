#include "vdrv/BenchServer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "vdrv/BenchAccess.h"
#include "vdrv/BenchConnection.h"

namespace telvar5::vdrv {

namespace {

using SteadyTime = std::chrono::steady_clock;

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

// Milliseconds until the earliest deadline, rounded up; -1: none.
int pollTimeoutMs(const std::vector<BenchConnection>& clients, SteadyTime::time_point now)
{
    if (clients.empty())
        return -1;
    auto earliest = clients.front().deadline();
    for (const BenchConnection& c : clients)
        earliest = std::min(earliest, c.deadline());
    if (earliest <= now)
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(earliest - now).count();
    return static_cast<int>(std::min<long long>(ms, 60'000));
}

} // namespace

BenchServer::~BenchServer() { stop(); }

bool BenchServer::start(const std::string& path, Handler handler, std::string& error, BenchLimits limits)
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
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (!prepareBenchDirectory(dir.empty() ? "." : dir, error))
        return false;
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
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int wake[2];
    if (listenFd_ < 0 || ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = std::string("cannot create the bench socket: ") + std::strerror(errno);
        closeFd(listenFd_);
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    // Nobody can connect before listen(), so the mode is set before anyone can try.
    const bool bound = ::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (!bound || ::chmod(path.c_str(), 0600) != 0 || ::listen(listenFd_, 16) != 0) {
        error = "cannot listen on " + path + ": " + std::strerror(errno);
        if (bound)
            ::unlink(path.c_str());
        closeFd(listenFd_);
        closeFd(wakeRead_);
        closeFd(wakeWrite_);
        return false;
    }
    path_ = path;
    handler_ = std::move(handler);
    limits_ = limits;
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
    const uid_t self = ::geteuid();
    std::vector<BenchConnection> clients;
    clients.reserve(limits_.maxClients);
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({wakeRead_, POLLIN, 0});
        fds.push_back({listenFd_, POLLIN, 0});
        for (const BenchConnection& c : clients)
            fds.push_back({c.fd(), c.pollEvents(), 0});
        const int ready = ::poll(fds.data(), fds.size(), pollTimeoutMs(clients, SteadyTime::now()));
        if (ready < 0 && errno != EINTR)
            return;
        if (ready > 0 && fds[0].revents != 0)
            return; // stop(): the connections close with the vector

        // The clients first: one that just left frees its place for one waiting to come in.
        const auto now = SteadyTime::now();
        for (std::size_t i = 0; i < clients.size(); ++i) {
            if (ready > 0 && fds[i + 2].revents != 0)
                clients[i].onReady(fds[i + 2].revents, handler_, limits_.maxLineBytes, now, limits_.clientTimeout);
            if (!clients[i].finished() && clients[i].deadline() <= now)
                clients[i].onDeadline(limits_.clientTimeout);
        }
        std::erase_if(clients, [](const BenchConnection& c) { return c.finished(); });

        if (ready <= 0 || fds[1].revents == 0)
            continue;
        for (;;) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) {
                // None left (EAGAIN), or none can be taken now (out of descriptors):
                // then pause, still listening for stop(), rather than spin.
                if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
                    pollfd wake{wakeRead_, POLLIN, 0};
                    ::poll(&wake, 1, 100);
                }
                break;
            }
            if (!benchPeerAllowed(benchPeerUid(fd), self))
                refuseBenchClient(fd, "permission denied: the bench serves the user who runs the driver only");
            else if (clients.size() >= limits_.maxClients)
                refuseBenchClient(fd, "too many bench clients at once (" + std::to_string(limits_.maxClients)
                                          + "); try again");
            else
                clients.emplace_back(fd, now + limits_.clientTimeout);
        }
    }
}

} // namespace telvar5::vdrv
