// The capture file: its bytes, and what the reader makes of whole, damaged and foreign files.
#include <gtest/gtest.h>

#include <vector>

#include "core/analysis/CaptureFile.h"
#include "core/analysis/CaptureReader.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

CaptureHeader sampleHeader()
{
    CaptureHeader h;
    h.serialNo = 0x01020304;
    for (std::size_t i = 0; i < h.freqCodes.size(); ++i)
        h.freqCodes[i] = static_cast<std::uint8_t>(0xA0 + i);
    h.refreshPeriodMs = 100;
    h.startUnixUs = -2; // before 1970: the sign must survive
    return h;
}

CaptureEntry entryNo(std::uint32_t n)
{
    return {std::int64_t{n} * 1000 + (std::int64_t{1} << 40), 10 + n, 0xABCD0000u + n, static_cast<std::uint8_t>(1 + n % 8),
            static_cast<std::uint8_t>(n)};
}

void expectEntry(const CaptureEntry& got, const CaptureEntry& want)
{
    EXPECT_EQ(got.timeUs, want.timeUs);
    EXPECT_EQ(got.tick, want.tick);
    EXPECT_EQ(got.word, want.word);
    EXPECT_EQ(got.channel, want.channel);
    EXPECT_EQ(got.cell, want.cell);
}

// A file of `count` entries with the given header and entry sizes (extra bytes 0xEE).
Bytes captureFile(std::uint32_t count, std::uint16_t headerSize = 64, std::uint16_t entrySize = 20)
{
    const CaptureHeaderBytes h = encodeCaptureHeader(sampleHeader());
    Bytes bytes(h.begin(), h.end());
    bytes[10] = static_cast<std::uint8_t>(headerSize);
    bytes[12] = static_cast<std::uint8_t>(entrySize);
    bytes.resize(headerSize, 0xEE);
    for (std::uint32_t n = 0; n < count; ++n) {
        const CaptureEntryBytes e = encodeCaptureEntry(entryNo(n));
        bytes.insert(bytes.end(), e.begin(), e.end());
        bytes.resize(bytes.size() + entrySize - e.size(), 0xEE);
    }
    return bytes;
}

TEST(CaptureFile, HeaderAndEntryBytesArePinned)
{
    const CaptureHeaderBytes h = encodeCaptureHeader(sampleHeader());
    const Bytes expectedHeader = {
        'T', 'L', 'V', '5', 'C', 'A', 'P', 0, 1, 0, 64, 0, 20, 0, 0, 0,                       // magic, version, sizes
        0x04, 0x03, 0x02, 0x01,                                                              // serial number
        0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, // bit rates
        100, 0, 0, 0,                                                                        // refresh period
        0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,                                      // start time -2
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Bytes(h.begin(), h.end()), expectedHeader);
    EXPECT_EQ(decodeCaptureHeader(h), sampleHeader());

    const CaptureEntry entry{0x0102030405060708, 0x11223344, 0xDEADBEEF, 8, 255};
    const CaptureEntryBytes e = encodeCaptureEntry(entry);
    const Bytes expectedEntry = {0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x44, 0x33,
                                 0x22, 0x11, 0xEF, 0xBE, 0xAD, 0xDE, 8,    255,  0,    0};
    EXPECT_EQ(Bytes(e.begin(), e.end()), expectedEntry);
    expectEntry(decodeCaptureEntry(e), entry);
}

struct ReadCase {
    const char* name;
    Bytes bytes;
    bool headerValid;
    std::size_t entries;
    std::vector<std::string> inProblem; // empty: the file is whole
};

TEST(CaptureFile, ReadersKeepEveryCompleteEntryAndNameTheDamage)
{
    Bytes cut = captureFile(3);
    cut.resize(cut.size() - 13);
    Bytes badMagic = captureFile(2);
    badMagic[6] = 'Q';
    Bytes version2 = captureFile(2);
    version2[8] = 2;
    Bytes version0 = captureFile(2);
    version0[8] = 0;
    Bytes headerCut = captureFile(0);
    headerCut.resize(40);
    Bytes wipedEntrySize = captureFile(7);
    wipedEntrySize[12] = wipedEntrySize[13] = 0xFF;

    const std::vector<ReadCase> cases = {
        {"whole", captureFile(3), true, 3, {}},
        {"empty recording", captureFile(0), true, 0, {}},
        {"cut inside an entry", cut, true, 2, {"обрывается", "2 целых", "7 байт из 20"}},
        {"cut inside the header", headerCut, false, 0, {"заголов", "40 байт"}},
        {"too short for the magic", Bytes{'T', 'L', 'V'}, false, 0, {"TLV5CAP"}},
        {"another magic", badMagic, false, 0, {"TLV5CAP"}},
        {"a newer version", version2, false, 0, {"более новой", "2"}},
        {"version 0", version0, false, 0, {"версия", "0"}},
        {"entries too small", captureFile(2, 64, 16), false, 0, {"размер записи", "16"}},
        {"header too small", captureFile(2, 48, 20), false, 0, {"заголовка", "48"}},
        {"entry size of all ones", wipedEntrySize, false, 0, {"поврежден", "65535", "20 байт"}},
        {"larger header and entries: extra bytes skipped", captureFile(3, 80, 26), true, 3, {}},
    };
    test::ScratchDir dir;
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::filesystem::path file = dir / "capture.tlv";
        test::writeBytes(file, c.bytes);
        CaptureFileContents streamed;
        CaptureReader reader;
        streamed.headerValid = reader.open(file);
        streamed.header = reader.header();
        streamed.problem = reader.problem();
        for (CaptureEntry e{}; reader.next(e);)
            streamed.entries.push_back(e);
        EXPECT_EQ(reader.entryCount(), c.entries);
        for (const CaptureFileContents& got : {parseCapture(c.bytes), readCaptureFile(file), streamed}) {
            EXPECT_EQ(got.headerValid, c.headerValid);
            ASSERT_EQ(got.entries.size(), c.entries);
            for (std::uint32_t n = 0; n < c.entries; ++n)
                expectEntry(got.entries[n], entryNo(n));
            if (c.headerValid) {
                EXPECT_EQ(got.header, sampleHeader());
            }
            EXPECT_EQ(got.problem.empty(), c.inProblem.empty()) << got.problem;
            for (const std::string& part : c.inProblem)
                EXPECT_NE(got.problem.find(part), std::string::npos) << got.problem << " lacks " << part;
        }
    }
    EXPECT_EQ(parseCapture(version2).version, 2);

    const CaptureFileContents missing = readCaptureFile(dir / "none.tlv");
    EXPECT_FALSE(missing.headerValid);
    EXPECT_FALSE(missing.problem.empty());
    CaptureReader reader;
    EXPECT_FALSE(reader.open(dir / "none.tlv"));
    EXPECT_EQ(reader.problem(), missing.problem);
}

TEST(CaptureReader, StreamsEveryEntryThroughItsBufferAndRewinds)
{
    // Enough entries to refill the buffer several times, also of a later, larger layout.
    struct Case {
        std::uint16_t headerSize, entrySize;
        std::uint32_t count;
    };
    test::ScratchDir dir;
    for (const Case& c : {Case{64, 20, 20'000}, Case{80, 26, 12'345}, Case{64, 20, 1}}) {
        SCOPED_TRACE(c.entrySize);
        const std::filesystem::path file = dir / "big.tlv";
        test::writeBytes(file, captureFile(c.count, c.headerSize, c.entrySize));
        CaptureReader reader;
        ASSERT_TRUE(reader.open(file)) << reader.problem();
        EXPECT_EQ(reader.entryCount(), c.count);
        for (int pass = 0; pass < 2; ++pass) {
            CaptureEntry e{};
            std::uint32_t n = 0;
            for (; reader.next(e); ++n)
                if (e.word != entryNo(n).word || e.timeUs != entryNo(n).timeUs)
                    FAIL() << "entry " << n << " of pass " << pass;
            EXPECT_EQ(n, c.count);
            EXPECT_FALSE(reader.next(e)) << "the end stays the end";
            // Part of the way, then back to the start.
            reader.rewind();
            for (n = 0; n < c.count / 2; ++n)
                reader.next(e);
            reader.rewind();
        }
        EXPECT_TRUE(reader.problem().empty());
    }
}

TEST(CaptureReader, AFileCutWhileItIsReadEndsAtItsLastWholeEntry)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not cut a file another handle has open";
#else
    test::ScratchDir dir;
    const std::filesystem::path file = dir / "shrinking.tlv";
    test::writeBytes(file, captureFile(10'000));
    CaptureReader reader;
    ASSERT_TRUE(reader.open(file));
    CaptureEntry e{};
    ASSERT_TRUE(reader.next(e));
    std::filesystem::resize_file(file, 64 + 9'000 * 20 + 3);
    std::uint32_t n = 1;
    for (; reader.next(e); ++n)
        EXPECT_EQ(e.word, entryNo(n).word);
    EXPECT_EQ(n, 9'000u);
    EXPECT_NE(reader.problem().find("9000 целых записей"), std::string::npos) << reader.problem();
    reader.rewind();
    for (n = 0; reader.next(e); ++n) {
    }
    EXPECT_EQ(n, 9'000u) << "a second pass reads as far as the file now goes";
#endif
}

} // namespace
} // namespace telvar5
