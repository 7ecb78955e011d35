#pragma once
// The bench control socket: a Unix-domain stream socket served by one small
// thread. A client connects, sends one command line, reads the reply lines
// (the last is "OK" or "ERROR <reason>") until the server closes.
#include <functional>
#include <string>
#include <thread>

namespace telvar5::vdrv {

class BenchServer {
public:
    // Turns a command line into the whole reply text.
    using Handler = std::function<std::string(const std::string& line)>;

    BenchServer() = default;
    ~BenchServer();
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

    // Binds path (a stale socket file left by a dead driver is replaced; a
    // live one or any other file is left alone) and starts the thread.
    bool start(const std::string& path, Handler handler, std::string& error);
    // Stops and joins the thread and removes the socket file.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    void serve();
    void serveClient(int fd);

    std::string path_;
    Handler handler_;
    int listenFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::thread thread_;
};

} // namespace telvar5::vdrv
