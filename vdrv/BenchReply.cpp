#include "vdrv/BenchReply.h"

namespace telvar5::vdrv {

BenchReply parseBenchReply(const std::string& text, bool complete)
{
    BenchReply reply;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos)
            nl = text.size();
        reply.lines.push_back(text.substr(pos, nl - pos));
        pos = nl + 1;
    }
    if (!complete || reply.lines.empty()) {
        reply.error = "no complete reply from the driver";
        return reply;
    }
    reply.connected = true;
    const std::string status = reply.lines.back();
    reply.lines.pop_back();
    if (status == "OK") {
        reply.ok = true;
    } else if (status.rfind("ERROR", 0) == 0) {
        reply.error = status.size() > 6 ? status.substr(6) : "error";
    } else {
        reply.lines.push_back(status);
        reply.error = "reply without a status line";
    }
    return reply;
}

} // namespace telvar5::vdrv
