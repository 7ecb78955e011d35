#include "protocol/OutputRecord.h"

#include "protocol/ByteLayout.h"

namespace telvar5 {

OutputRecordBytes encodeOutputRecord(const OutputRecord& record)
{
    OutputRecordBytes bytes{};
    putU16(bytes.data() + 0, record.channelNo);
    putU16(bytes.data() + 2, record.param1);
    putU16(bytes.data() + 4, record.param2);
    putU16(bytes.data() + 6, record.param3);
    for (std::size_t i = 0; i < kOutputWords; ++i)
        putU32(bytes.data() + kOutputHeaderSize + 4 * i, record.words[i]);
    return bytes;
}

OutputRecord decodeOutputRecord(const std::uint8_t* bytes)
{
    OutputRecord record;
    record.channelNo = getU16(bytes + 0);
    record.param1 = getU16(bytes + 2);
    record.param2 = getU16(bytes + 4);
    record.param3 = getU16(bytes + 6);
    for (std::size_t i = 0; i < kOutputWords; ++i)
        record.words[i] = getU32(bytes + kOutputHeaderSize + 4 * i);
    return record;
}

SinglePuskRecord singlePuskRecord(const OutputRecord& record)
{
    SinglePuskRecord r{};
    putU16(r.data() + 0, record.channelNo);
    putU16(r.data() + 2, record.param1);
    return r;
}

} // namespace telvar5
