#include "protocol/Requests.h"

#include "protocol/ByteLayout.h"

namespace telvar5 {

const RequestInfo* findRequest(std::uint32_t code)
{
    for (const RequestInfo& info : kRequestTable) {
        if (info.code == code)
            return &info;
    }
    return nullptr;
}

bool replyReceived(std::uint32_t code, bool completed, std::uint32_t bytesReturned, std::uint32_t outSize)
{
    if (!completed || bytesReturned > outSize)
        return false;
    const RequestInfo* info = findRequest(code);
    const std::uint32_t needed = info ? info->replyRead : outSize;
    return needed <= outSize && bytesReturned >= needed;
}

ChannelRecord channelRecord(std::uint16_t channelNo)
{
    ChannelRecord r{};
    putU16(r.data(), channelNo);
    return r;
}

ReceptionStartRecord receptionStartRecord(std::uint16_t channelNo)
{
    ReceptionStartRecord r{};
    putU16(r.data() + 0, channelNo);
    putU16(r.data() + 2, 1);
    putU16(r.data() + 4, 0xFFFF);
    putU16(r.data() + 6, 0xFFFF);
    return r;
}

ReadWordRecord readWordRecord(std::uint16_t channelNo, std::uint16_t cell)
{
    ReadWordRecord r{};
    putU16(r.data() + 0, channelNo);
    putU16(r.data() + 2, 1);
    putU16(r.data() + 4, cell);
    return r;
}

WordUpdateRecord wordUpdateRecord(std::uint16_t channelNo, std::uint16_t wordIndex, std::uint32_t word)
{
    WordUpdateRecord r{};
    putU16(r.data() + 0, channelNo);
    putU16(r.data() + 2, wordIndex);
    putU32(r.data() + 4, word);
    return r;
}

std::uint16_t shortReplyValue(const ShortReply& reply) { return getU16(reply.data()); }

bool stateReplyRunning(const ShortReply& reply) { return reply[0] != 0; }

std::uint32_t readWordReplyWord(const ReadWordReply& reply) { return getU32(reply.data() + 2); }

} // namespace telvar5
