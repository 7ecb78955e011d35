// The request protocol as the driver sees it: control codes, record sizes and
// the bytes at every offset.
#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "protocol/OutputRecord.h"
#include "protocol/Requests.h"

namespace telvar5 {
namespace {

template <std::size_t N>
std::vector<std::uint8_t> bytesOf(const std::array<std::uint8_t, N>& a)
{
    return {a.begin(), a.end()};
}

struct ProtocolRow {
    std::string_view name;
    std::uint32_t constant; // the named constant the program sends
    std::uint32_t code;     // the code the driver expects
    std::uint16_t inSize;
    std::uint16_t outSize;
};

// The driver's table, written out by hand: code, input and output sizes.
const ProtocolRow kDriverTable[] = {
    {"ReqDeviceChoice", ReqDeviceChoice, 0x222030, 0, 2},
    {"ReqDeviceInitialization", ReqDeviceInitialization, 0x222084, 16, 2},
    {"ReqDeviceReset", ReqDeviceReset, 0x222088, 0, 0},
    {"ReqSOsingleLoad", ReqSOsingleLoad, 0x22209C, 1032, 2},
    {"ReqSOsinglePusk", ReqSOsinglePusk, 0x2220A0, 4, 2},
    {"ReqSOstate", ReqSOstate, 0x2220A4, 2, 2},
    {"ReqSOciclePusk", ReqSOciclePusk, 0x2220A8, 1032, 2},
    {"ReqSOstopChannel", ReqSOstopChannel, 0x2220AC, 2, 2},
    {"ReqSOwordUpdate", ReqSOwordUpdate, 0x2220B0, 8, 2},
    {"ReqSIaddressPusk", ReqSIaddressPusk, 0x2220C4, 8, 2},
    {"ReqSIstopChannel", ReqSIstopChannel, 0x2220C8, 2, 2},
    {"ReqSIfilePusk", ReqSIfilePusk, 0x2220CC, 8, 2},
    {"ReqSerialNumber", ReqSerialNumber, 0x2220D0, 0, 2},
    {"ReqSIstate", ReqSIstate, 0x2220E8, 2, 2},
    {"ReqSIreadWord", ReqSIreadWord, 0x2220EC, 6, 6},
};

TEST(RequestsTest, EveryRequestHasTheDriversCodeAndRecordSizes)
{
    ASSERT_EQ(std::size(kDriverTable), kRequestTable.size());
    for (const ProtocolRow& row : kDriverTable) {
        SCOPED_TRACE(std::string(row.name));
        EXPECT_EQ(row.constant, row.code);
        const RequestInfo* info = findRequest(row.code);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->name, row.name);
        EXPECT_EQ(info->code, row.code);
        EXPECT_EQ(info->inSize, row.inSize);
        EXPECT_EQ(info->outSize, row.outSize);
    }
}

TEST(RequestsTest, CodesAreBufferedAnyAccessRequestsOfAnUnknownDevice)
{
    EXPECT_EQ(controlCode(0x80C), 0x222030u);
    EXPECT_EQ(controlCode(0x83B), 0x2220ECu);
    for (const RequestInfo& info : kRequestTable) {
        SCOPED_TRACE(std::string(info.name));
        EXPECT_EQ(info.code >> 16, 0x22u);        // FILE_DEVICE_UNKNOWN
        EXPECT_EQ((info.code >> 14) & 0x3u, 0u);  // FILE_ANY_ACCESS
        EXPECT_EQ(info.code & 0x3u, 0u);          // METHOD_BUFFERED
        const std::uint32_t function = (info.code >> 2) & 0xFFFu;
        EXPECT_GE(function, 0x80Cu);
        EXPECT_LE(function, 0x83Bu);
    }
}

TEST(RequestsTest, UnknownCodesAreNotFound)
{
    EXPECT_EQ(findRequest(0), nullptr);
    EXPECT_EQ(findRequest(0x222034), nullptr);         // a function between two requests
    EXPECT_EQ(findRequest(controlCode(0x80B)), nullptr);
    EXPECT_EQ(findRequest(controlCode(0x83C)), nullptr);
    EXPECT_EQ(findRequest(0x222031), nullptr);         // ReqDeviceChoice with another method
    EXPECT_EQ(findRequest(0x226030), nullptr);         // ReqDeviceChoice with read access
    EXPECT_EQ(findRequest(0x232030), nullptr);         // another device type
    EXPECT_EQ(findRequest(0xFFFFFFFF), nullptr);
}

TEST(RequestsTest, RecordTypesHaveTheSizesOfTheTable)
{
    EXPECT_EQ(sizeof(ChannelRecord), findRequest(ReqSIstate)->inSize);
    EXPECT_EQ(sizeof(ChannelRecord), findRequest(ReqSOstopChannel)->inSize);
    EXPECT_EQ(sizeof(ShortReply), findRequest(ReqDeviceChoice)->outSize);
    EXPECT_EQ(sizeof(FreqCodes), findRequest(ReqDeviceInitialization)->inSize);
    EXPECT_EQ(sizeof(ReceptionStartRecord), findRequest(ReqSIaddressPusk)->inSize);
    EXPECT_EQ(sizeof(ReceptionStartRecord), findRequest(ReqSIfilePusk)->inSize);
    EXPECT_EQ(sizeof(ReadWordRecord), findRequest(ReqSIreadWord)->inSize);
    EXPECT_EQ(sizeof(ReadWordReply), findRequest(ReqSIreadWord)->outSize);
    EXPECT_EQ(sizeof(WordUpdateRecord), findRequest(ReqSOwordUpdate)->inSize);
    EXPECT_EQ(sizeof(OutputRecordBytes), findRequest(ReqSOciclePusk)->inSize);
    EXPECT_EQ(sizeof(OutputRecordBytes), findRequest(ReqSOsingleLoad)->inSize);
    EXPECT_EQ(sizeof(SinglePuskRecord), findRequest(ReqSOsinglePusk)->inSize);
}

TEST(RequestsTest, ChannelRecordIsTheLittleEndianChannelNumber)
{
    EXPECT_EQ(bytesOf(channelRecord(3)), (std::vector<std::uint8_t>{0x03, 0x00}));
    EXPECT_EQ(bytesOf(channelRecord(0x0102)), (std::vector<std::uint8_t>{0x02, 0x01}));
}

TEST(RequestsTest, ReceptionStartRecordCarriesChannelOneAndTwoAllOnesFields)
{
    EXPECT_EQ(bytesOf(receptionStartRecord(3)),
              (std::vector<std::uint8_t>{0x03, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(bytesOf(receptionStartRecord(8)),
              (std::vector<std::uint8_t>{0x08, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(RequestsTest, ReadWordRecordCarriesChannelOneAndCell)
{
    EXPECT_EQ(bytesOf(readWordRecord(3, 0)), (std::vector<std::uint8_t>{0x03, 0x00, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(bytesOf(readWordRecord(8, 255)), (std::vector<std::uint8_t>{0x08, 0x00, 0x01, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(bytesOf(readWordRecord(1, 0x0102)),
              (std::vector<std::uint8_t>{0x01, 0x00, 0x01, 0x00, 0x02, 0x01}));
}

TEST(RequestsTest, ReadWordReplyWordIsTheU32AtOffsetTwo)
{
    // The u16 at offset 0 is not part of the word.
    const ReadWordReply reply{0xAA, 0xBB, 0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(readWordReplyWord(reply), 0x12345678u);
    EXPECT_EQ(readWordReplyWord(ReadWordReply{0xFF, 0xFF, 0, 0, 0, 0}), 0u);
    EXPECT_EQ(readWordReplyWord(ReadWordReply{0, 0, 0xFF, 0xFF, 0xFF, 0xFF}), 0xFFFFFFFFu);
}

TEST(RequestsTest, WordUpdateRecordCarriesChannelIndexAndWord)
{
    EXPECT_EQ(bytesOf(wordUpdateRecord(2, 255, 0x89ABCDEF)),
              (std::vector<std::uint8_t>{0x02, 0x00, 0xFF, 0x00, 0xEF, 0xCD, 0xAB, 0x89}));
    EXPECT_EQ(bytesOf(wordUpdateRecord(8, 0, 0x00000001)),
              (std::vector<std::uint8_t>{0x08, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));
}

TEST(RequestsTest, ShortRepliesAndStateBytes)
{
    EXPECT_EQ(shortReplyValue(ShortReply{0x34, 0x12}), 0x1234u);
    EXPECT_EQ(shortReplyValue(ShortReply{0xFF, 0xFF}), 0xFFFFu);
    // Only byte 0 of a state reply tells whether the channel runs.
    EXPECT_FALSE(stateReplyRunning(ShortReply{0x00, 0x00}));
    EXPECT_FALSE(stateReplyRunning(ShortReply{0x00, 0x01}));
    EXPECT_TRUE(stateReplyRunning(ShortReply{0x01, 0x00}));
    EXPECT_TRUE(stateReplyRunning(ShortReply{0x80, 0xFF}));
}

TEST(RequestsTest, ConfigWordGivesInputChannelsInBits8To11AndOutputChannelsInBits4To7)
{
    EXPECT_EQ(inputChannelsOf(0x0880), 8u);
    EXPECT_EQ(outputChannelsOf(0x0880), 8u);
    EXPECT_EQ(inputChannelsOf(0x0280), 2u);
    EXPECT_EQ(outputChannelsOf(0x0280), 8u);
    // Bits 0..3 and 12..15 are not used.
    EXPECT_EQ(inputChannelsOf(0xF24F), 2u);
    EXPECT_EQ(outputChannelsOf(0xF24F), 4u);
    EXPECT_EQ(inputChannelsOf(0xF00F), 0u);
    EXPECT_EQ(outputChannelsOf(0xF00F), 0u);
    EXPECT_EQ(makeConfigWord(4, 2), 0x0420);
    EXPECT_EQ(makeConfigWord(8, 8), 0x0880);
}

OutputRecord sampleRecord()
{
    OutputRecord r;
    r.channelNo = 5;
    r.param1 = 256;
    r.param2 = 0x0102;
    r.param3 = 0xFFFF;
    for (std::size_t i = 0; i < kOutputWords; ++i)
        r.words[i] = 0x01000000u * static_cast<std::uint32_t>(i) + static_cast<std::uint32_t>(i);
    r.words[0] = 0x11223344;
    r.words[255] = 0xAABBCCDD;
    return r;
}

TEST(RequestsTest, OutputRecordIs1032BytesHeaderThenAllWords)
{
    const OutputRecordBytes bytes = encodeOutputRecord(sampleRecord());
    ASSERT_EQ(bytes.size(), 1032u);
    const std::vector<std::uint8_t> header(bytes.begin(), bytes.begin() + 8);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0x05, 0x00, 0x00, 0x01, 0x02, 0x01, 0xFF, 0xFF}));
    // Word 0 at offset 8, word i at 8 + 4 * i, word 255 at 1028.
    EXPECT_EQ(bytes[8], 0x44);
    EXPECT_EQ(bytes[9], 0x33);
    EXPECT_EQ(bytes[10], 0x22);
    EXPECT_EQ(bytes[11], 0x11);
    EXPECT_EQ(bytes[8 + 4 * 7], 0x07);
    EXPECT_EQ(bytes[8 + 4 * 7 + 3], 0x07);
    EXPECT_EQ(bytes[1028], 0xDD);
    EXPECT_EQ(bytes[1029], 0xCC);
    EXPECT_EQ(bytes[1030], 0xBB);
    EXPECT_EQ(bytes[1031], 0xAA);
}

TEST(RequestsTest, OneWordArrayStillSendsEveryWordAsItStands)
{
    OutputRecord r = sampleRecord();
    r.param1 = 1;
    r.param2 = 1;
    r.param3 = 0;
    const OutputRecordBytes bytes = encodeOutputRecord(r);
    const OutputRecord back = decodeOutputRecord(bytes.data());
    EXPECT_EQ(back.channelNo, 5);
    EXPECT_EQ(back.param1, 1);
    EXPECT_EQ(back.param2, 1);
    EXPECT_EQ(back.param3, 0);
    EXPECT_EQ(back.words, r.words);
}

TEST(RequestsTest, SinglePuskIsTheFirstFourBytesOfTheOutputRecord)
{
    OutputRecord r = sampleRecord();
    r.channelNo = 7;
    r.param1 = 1;
    const SinglePuskRecord pusk = singlePuskRecord(r);
    EXPECT_EQ(bytesOf(pusk), (std::vector<std::uint8_t>{0x07, 0x00, 0x01, 0x00}));
    const OutputRecordBytes whole = encodeOutputRecord(r);
    EXPECT_TRUE(std::equal(pusk.begin(), pusk.end(), whole.begin()));
}

} // namespace
} // namespace telvar5
