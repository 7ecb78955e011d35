#pragma once
// The bench control socket: a Unix-domain stream socket served by one small
// thread. A client connects, sends one command line, reads the reply lines
// (the last is "OK" or "ERROR <reason>") until the server closes.
//
// It lets in the driver's own user only (see BenchAccess.h) and bounds what a
// client can hold: the length of its line, the time to send it, and how many
// clients are served at once. Whatever arrives, a client gets an "ERROR" line
// rather than the driver crashing or waiting on it.
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <thread>

namespace telvar5::vdrv {

// What one client may take of the bench; tests shorten the timeout.
struct BenchLimits {
    std::size_t maxLineBytes = 4096;               // a longer line: error, connection closed
    std::size_t maxClients = 8;                    // one more: error, connection closed
    std::chrono::milliseconds clientTimeout{2000}; // to send a complete line; then per reply write
};

// Why a driver on Windows has no bench (BenchServer::start's error there).
inline constexpr const char* kBenchUnavailableOnWindows =
    "the bench socket is not available on Windows; the driver runs without it";

class BenchServer {
public:
    // Turns a command line into the whole reply text.
    using Handler = std::function<std::string(const std::string& line)>;

    BenchServer() = default;
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // On Windows: false, error kBenchUnavailableOnWindows, nothing else done.
    // Elsewhere: checks that the socket's folder is private, creating it when missing
    // (prepareBenchDirectory), binds path with mode 0600 (a stale socket file left by a dead driver is replaced; a
    // live one or any other file is left alone) and starts the thread.
    bool start(const std::string& path, Handler handler, std::string& error, BenchLimits limits = {});
    // Stops and joins the thread, closes every connection and removes the socket file.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    void serve();

    std::string path_;
    Handler handler_;
    BenchLimits limits_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

} // namespace telvar5::vdrv
