#include "StandInServer.h"

#include <cstring>

#include "RequestJournal.h"
#include "protocol/Requests.h"

namespace telvar5::standin {

StandInServer::StandInServer(vdrv::VirtualDriver& driver, std::ostream* journal)
    : driver_(driver), journal_(journal)
{
}

std::size_t StandInServer::answer(const T5siRequest& request, std::size_t requestBytes, T5siReply& reply)
{
    reply.magic = T5SI_MAGIC;
    reply.sequence = requestBytes >= T5SI_REQUEST_HEADER ? request.sequence : 0;
    reply.error = 0;
    reply.bytesReturned = 0;
    reply.moduleHandle = 0;

    const bool whole = requestBytes >= T5SI_REQUEST_HEADER && request.magic == T5SI_MAGIC
                       && request.inSize <= T5SI_MAX_DATA && requestBytes >= T5SI_REQUEST_HEADER + request.inSize;
    if (!whole) {
        reply.error = kErrorInvalidParameter;
    } else if (request.kind == T5SI_OPEN) {
        std::uint32_t error = 0;
        const DeviceHandle handle = driver_.openDeviceByIndex(kTelvar5InterfaceClass, request.moduleIndex, error);
        reply.error = handle == kInvalidHandle ? (error != 0 ? error : kErrorGenFailure) : 0;
        reply.moduleHandle = handle == kInvalidHandle ? 0 : handle;
    } else if (request.kind == T5SI_CLOSE) {
        // The virtual driver keeps its handles for its whole life (at most
        // 4096 over a host's run): the close is only journalled.
    } else if (request.kind == T5SI_CONTROL) {
        reply.error = control(request, reply);
    } else {
        reply.error = kErrorInvalidParameter;
    }

    ++answered_;
    if (reply.error != 0)
        ++failed_;
    if (journal_ && whole)
        *journal_ << journalLine(request, reply) << '\n';
    return T5SI_REPLY_HEADER + reply.bytesReturned;
}

std::uint32_t StandInServer::control(const T5siRequest& request, T5siReply& reply)
{
    // The program's room for the reply, as far as the exchange can carry it.
    const std::uint32_t room = request.outSize < T5SI_MAX_DATA ? request.outSize : T5SI_MAX_DATA;
    std::uint32_t returned = 0;
    const bool done = driver_.control(static_cast<DeviceHandle>(request.moduleHandle), request.code,
                                      request.inSize ? request.data : nullptr, request.inSize,
                                      room ? reply.data : nullptr, room, returned);
    if (!done)
        return whyFailed(request);
    reply.bytesReturned = returned <= room ? returned : room;
    return 0;
}

// The virtual driver only says that a request failed; its log says why, and
// the program's call then fails with the error a real driver would give.
std::uint32_t StandInServer::whyFailed(const T5siRequest& request)
{
    const std::vector<vdrv::LogEntry> last = driver_.requestLog(1);
    if (!last.empty() && last.back().interfaceIndex < 0)
        return kErrorInvalidHandle;
    if (!last.empty() && (last.back().faults & vdrv::kLoggedVanished))
        return kErrorDeviceNotConnected;
    if (!last.empty() && (last.back().faults & vdrv::kLoggedFailed))
        return kErrorIoDevice;
    const RequestInfo* info = findRequest(request.code);
    if (!info)
        return kErrorInvalidFunction;
    if (request.inSize != info->inSize || request.outSize < info->outSize)
        return kErrorInvalidParameter;
    return kErrorGenFailure;
}

} // namespace telvar5::standin
