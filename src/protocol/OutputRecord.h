#pragma once
// One output channel's record: the header the start commands write and the
// channel's 256 ARINC words. It is the storage of the output array and, encoded,
// the 1032-byte input of ReqSOsingleLoad and ReqSOciclePusk.
#include <array>
#include <cstdint>

#include "protocol/Requests.h"

namespace telvar5 {

struct OutputRecord {
    std::uint16_t channelNo = 0;
    std::uint16_t param1 = 0;
    std::uint16_t param2 = 0;
    std::uint16_t param3 = 0;
    std::array<std::uint32_t, kOutputWords> words{};
};

OutputRecordBytes encodeOutputRecord(const OutputRecord& record);
OutputRecord decodeOutputRecord(const std::uint8_t* bytes); // kOutputRecordSize bytes
SinglePuskRecord singlePuskRecord(const OutputRecord& record); // channelNo and param1

} // namespace telvar5
