#include "RequestJournal.h"

#include <cstdio>
#include <string_view>

#include "protocol/Requests.h"
#include "vdrv/TextFields.h"

namespace telvar5::standin {

namespace {

using vdrv::hexBytes;

std::string outcome(const T5siReply& reply)
{
    return reply.error == 0 ? " ok" : " error " + std::to_string(reply.error);
}

} // namespace

std::string journalLine(const T5siRequest& request, const T5siReply& reply)
{
    char head[96];
    switch (request.kind) {
    case T5SI_OPEN:
        std::snprintf(head, sizeof head, "#%u open if=%u", request.sequence, request.moduleIndex);
        if (reply.error == 0) {
            char handle[40];
            std::snprintf(handle, sizeof handle, " handle 0x%llx",
                          static_cast<unsigned long long>(reply.moduleHandle));
            return head + std::string(handle) + outcome(reply);
        }
        return head + outcome(reply);
    case T5SI_CLOSE:
        std::snprintf(head, sizeof head, "#%u close if=%u handle 0x%llx", request.sequence, request.moduleIndex,
                      static_cast<unsigned long long>(request.moduleHandle));
        return head;
    case T5SI_CONTROL: {
        const RequestInfo* info = findRequest(request.code);
        std::snprintf(head, sizeof head, "#%u control if=%u 0x%06X %s", request.sequence, request.moduleIndex,
                      request.code, info ? std::string(info->name).c_str() : "(unknown)");
        std::string line = head;
        const std::uint32_t inShown = request.inSize <= T5SI_MAX_DATA ? request.inSize : 0;
        line += " in=" + std::to_string(request.inSize);
        if (inShown)
            line += ": " + hexBytes(request.data, inShown);
        const std::uint32_t outShown = reply.bytesReturned <= T5SI_MAX_DATA ? reply.bytesReturned : 0;
        line += " out=" + std::to_string(reply.bytesReturned) + "/" + std::to_string(request.outSize);
        if (outShown)
            line += ": " + hexBytes(reply.data, outShown);
        return line + outcome(reply);
    }
    default:
        std::snprintf(head, sizeof head, "#%u kind %u", request.sequence, request.kind);
        return head + outcome(reply);
    }
}

} // namespace telvar5::standin
