// The bench server on Windows: there is none. The bench is a Unix-domain
// socket that asks the kernel who is at the other end (SO_PEERCRED), which
// Windows cannot tell; so start() refuses with a reason, and the driver goes on
// without a bench as it does when a socket cannot be bound.
#include "vdrv/BenchServer.h"

namespace telvar5::vdrv {

BenchServer::~BenchServer() { stop(); }

bool BenchServer::start(const std::string&, Handler, std::string& error, BenchLimits)
{
    error = kBenchUnavailableOnWindows;
    return false;
}

void BenchServer::stop() {}

void BenchServer::serve() {}

} // namespace telvar5::vdrv
