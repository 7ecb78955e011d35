#pragma once
// The driver's request protocol: control codes and the byte layout of every
// request record. All records are packed little-endian; their sizes are fixed
// at compile time and checked here.
#include <array>
#include <cstdint>
#include <string_view>

namespace telvar5 {

// CTL_CODE(FILE_DEVICE_UNKNOWN, function, METHOD_BUFFERED, FILE_ANY_ACCESS)
constexpr std::uint32_t controlCode(std::uint32_t function)
{
    return 0x22u * 0x10000u + 0u * 0x4000u + function * 4u + 0u;
}

inline constexpr std::uint32_t ReqDeviceChoice = controlCode(0x80C);
inline constexpr std::uint32_t ReqDeviceInitialization = controlCode(0x821);
inline constexpr std::uint32_t ReqDeviceReset = controlCode(0x822);
inline constexpr std::uint32_t ReqSOsingleLoad = controlCode(0x827);
inline constexpr std::uint32_t ReqSOsinglePusk = controlCode(0x828);
inline constexpr std::uint32_t ReqSOstate = controlCode(0x829);
inline constexpr std::uint32_t ReqSOciclePusk = controlCode(0x82A);
inline constexpr std::uint32_t ReqSOstopChannel = controlCode(0x82B);
inline constexpr std::uint32_t ReqSOwordUpdate = controlCode(0x82C);
inline constexpr std::uint32_t ReqSIaddressPusk = controlCode(0x831);
inline constexpr std::uint32_t ReqSIstopChannel = controlCode(0x832);
inline constexpr std::uint32_t ReqSIfilePusk = controlCode(0x833);
inline constexpr std::uint32_t ReqSerialNumber = controlCode(0x834);
inline constexpr std::uint32_t ReqSIstate = controlCode(0x83A);
inline constexpr std::uint32_t ReqSIreadWord = controlCode(0x83B);

static_assert(ReqDeviceChoice == 0x222030 && ReqDeviceInitialization == 0x222084);
static_assert(ReqSOsingleLoad == 0x22209C && ReqSIreadWord == 0x2220EC);

// Record sizes in bytes.
inline constexpr std::size_t kChannelRecordSize = 2;       // u16 channel number
inline constexpr std::size_t kShortReplySize = 2;          // u16 reply
inline constexpr std::size_t kFreqCodesSize = 16;          // 8 input + 8 output codes
inline constexpr std::size_t kReceptionStartSize = 8;      // {ch, 1, 0xFFFF, 0xFFFF}
inline constexpr std::size_t kReadWordSize = 6;            // {ch, 1, cell}
inline constexpr std::size_t kReadWordReplySize = 6;       // {u16 unused, u32 word}
inline constexpr std::size_t kWordUpdateSize = 8;          // {ch, index, u32 word}
inline constexpr std::size_t kOutputHeaderSize = 8;        // {ch, param1, param2, param3}
inline constexpr std::size_t kOutputWords = 256;
inline constexpr std::size_t kOutputRecordSize = kOutputHeaderSize + 4 * kOutputWords;
inline constexpr std::size_t kSinglePuskSize = 4;          // first 4 bytes of the output record
static_assert(kOutputRecordSize == 1032);

using ChannelRecord = std::array<std::uint8_t, kChannelRecordSize>;
using ShortReply = std::array<std::uint8_t, kShortReplySize>;
using FreqCodes = std::array<std::uint8_t, kFreqCodesSize>;
using ReceptionStartRecord = std::array<std::uint8_t, kReceptionStartSize>;
using ReadWordRecord = std::array<std::uint8_t, kReadWordSize>;
using ReadWordReply = std::array<std::uint8_t, kReadWordReplySize>;
using WordUpdateRecord = std::array<std::uint8_t, kWordUpdateSize>;
using OutputRecordBytes = std::array<std::uint8_t, kOutputRecordSize>;
using SinglePuskRecord = std::array<std::uint8_t, kSinglePuskSize>;

// How far into each reply the program reads: the end of the last field it
// takes. A real driver may count only what matters to it, so a reply counts as
// received once the driver's count reaches this far, not the whole record.
inline constexpr std::uint16_t kReplyNotRead = 0;        // the acknowledgements nobody reads
inline constexpr std::uint16_t kStateReplyRead = 1;      // byte 0 of a state reply
inline constexpr std::uint16_t kShortReplyRead = 2;      // the u16 at 0
inline constexpr std::uint16_t kReadWordReplyRead = 6;   // the u32 word at 2; the u16 at 0 is not read

// One row of the protocol table: name, code, the exact record sizes and how
// much of the reply the program reads.
struct RequestInfo {
    std::string_view name;
    std::uint32_t code;
    std::uint16_t inSize;
    std::uint16_t outSize;
    std::uint16_t replyRead;
};

inline constexpr std::array<RequestInfo, 15> kRequestTable{{
    {"ReqDeviceChoice", ReqDeviceChoice, 0, 2, kShortReplyRead},
    {"ReqDeviceInitialization", ReqDeviceInitialization, kFreqCodesSize, 2, kReplyNotRead},
    {"ReqDeviceReset", ReqDeviceReset, 0, 0, kReplyNotRead},
    {"ReqSOsingleLoad", ReqSOsingleLoad, kOutputRecordSize, 2, kReplyNotRead},
    {"ReqSOsinglePusk", ReqSOsinglePusk, kSinglePuskSize, 2, kReplyNotRead},
    {"ReqSOstate", ReqSOstate, kChannelRecordSize, 2, kStateReplyRead},
    {"ReqSOciclePusk", ReqSOciclePusk, kOutputRecordSize, 2, kReplyNotRead},
    {"ReqSOstopChannel", ReqSOstopChannel, kChannelRecordSize, 2, kReplyNotRead},
    {"ReqSOwordUpdate", ReqSOwordUpdate, kWordUpdateSize, 2, kReplyNotRead},
    {"ReqSIaddressPusk", ReqSIaddressPusk, kReceptionStartSize, 2, kReplyNotRead},
    {"ReqSIstopChannel", ReqSIstopChannel, kChannelRecordSize, 2, kReplyNotRead},
    {"ReqSIfilePusk", ReqSIfilePusk, kReceptionStartSize, 2, kReplyNotRead},
    {"ReqSerialNumber", ReqSerialNumber, 0, 2, kShortReplyRead},
    {"ReqSIstate", ReqSIstate, kChannelRecordSize, 2, kStateReplyRead},
    {"ReqSIreadWord", ReqSIreadWord, kReadWordSize, kReadWordReplySize, kReadWordReplyRead},
}};

constexpr bool replyReadFitsRecords()
{
    for (const RequestInfo& info : kRequestTable)
        if (info.replyRead > info.outSize)
            return false;
    return true;
}
static_assert(replyReadFitsRecords());

// The table row of a control code, or nullptr for a code the driver does not know.
const RequestInfo* findRequest(std::uint32_t code);

// Whether a reply counts as received: the driver completed the request and
// its count covers every byte the program reads, within a reply area of
// outSize bytes. A count beyond the area is not believed; a code missing from
// the table needs the whole area.
bool replyReceived(std::uint32_t code, bool completed, std::uint32_t bytesReturned, std::uint32_t outSize);

// Builders of input records.
ChannelRecord channelRecord(std::uint16_t channelNo);
ReceptionStartRecord receptionStartRecord(std::uint16_t channelNo);
ReadWordRecord readWordRecord(std::uint16_t channelNo, std::uint16_t cell);
WordUpdateRecord wordUpdateRecord(std::uint16_t channelNo, std::uint16_t wordIndex, std::uint32_t word);

// Readers of replies.
std::uint16_t shortReplyValue(const ShortReply& reply);
// The state requests examine byte 0 only.
bool stateReplyRunning(const ShortReply& reply);
std::uint32_t readWordReplyWord(const ReadWordReply& reply);

// The configuration word of ReqDeviceChoice: bits 8..11 input channels, bits 4..7 output channels.
constexpr std::uint32_t inputChannelsOf(std::uint16_t configWord) { return (configWord & 0x0F00u) >> 8; }
constexpr std::uint32_t outputChannelsOf(std::uint16_t configWord) { return (configWord & 0x00F0u) >> 4; }
constexpr std::uint16_t makeConfigWord(std::uint32_t inputs, std::uint32_t outputs)
{
    return static_cast<std::uint16_t>(((inputs & 0xFu) << 8) | ((outputs & 0xFu) << 4));
}

} // namespace telvar5
