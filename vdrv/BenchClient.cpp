#include "vdrv/BenchClient.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace telvar5::vdrv {

namespace {

bool sendAll(int fd, const std::string& data)
{
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

BenchReply sendBenchCommand(const std::string& socketPath, const std::string& command, int timeoutMs)
{
    BenchReply reply;
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof addr.sun_path) {
        reply.error = "bad bench socket path \"" + socketPath + "\"";
        return reply;
    }
    if (command.find('\n') != std::string::npos) {
        reply.error = "a command is one line";
        return reply;
    }
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        reply.error = std::string("socket: ") + std::strerror(errno);
        return reply;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        reply.error = "cannot connect to " + socketPath + ": " + std::strerror(errno)
            + " (is a program using the virtual driver running?)";
        ::close(fd);
        return reply;
    }
    std::string text;
    bool complete = false;
    // Read even when the send failed: a server that turns a client away
    // (too many clients) may have answered and closed before the command went.
    sendAll(fd, command + "\n");
    char buf[4096];
    for (;;) {
        pollfd pfd{fd, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A server that closes before reading all we sent resets the
            // connection after its reply: that reply is still whole.
            complete = n == 0 || errno == ECONNRESET;
            break;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);

    return parseBenchReply(text, complete);
}

} // namespace telvar5::vdrv
