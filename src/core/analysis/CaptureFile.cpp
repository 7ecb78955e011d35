#include "core/analysis/CaptureFile.h"

#include <algorithm>
#include <fstream>
#include <new>
#include <system_error>

#include "protocol/ByteLayout.h"

namespace telvar5 {

namespace {

// Header fields by offset.
constexpr std::size_t kMagicAt = 0, kVersionAt = 8, kHeaderSizeAt = 10, kEntrySizeAt = 12, kSerialAt = 16,
                      kFreqCodesAt = 20, kRefreshPeriodAt = 36, kStartTimeAt = 40, kHeaderReservedAt = 48;
static_assert(kFreqCodesAt + kFreqCodesSize == kRefreshPeriodAt);
static_assert(kHeaderReservedAt + 16 == kCaptureHeaderSize);

// A 16-bit size field with every bit set.
constexpr std::size_t kDamagedSize = 0xFFFF;

// Entry fields by offset.
constexpr std::size_t kTimeAt = 0, kTickAt = 8, kWordAt = 12, kChannelAt = 16, kCellAt = 17, kEntryReservedAt = 18;
static_assert(kEntryReservedAt + 2 == kCaptureEntrySize);

void putU64(std::uint8_t* p, std::uint64_t v)
{
    putU32(p, static_cast<std::uint32_t>(v));
    putU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

std::uint64_t getU64(const std::uint8_t* p)
{
    return getU32(p) | std::uint64_t{getU32(p + 4)} << 32;
}

std::string cutHeaderText(std::uint64_t fileSize, std::size_t headerSize)
{
    return "Файл записи обрывается в заголовке: в файле " + std::to_string(fileSize) + " байт, а заголовок занимает "
        + std::to_string(headerSize) + ".";
}

void takeJudgement(const CaptureLayout& layout, CaptureFileContents& out)
{
    out.headerValid = layout.readable;
    out.header = layout.header;
    out.version = layout.version;
    out.problem = layout.problem;
}

} // namespace

CaptureHeaderBytes encodeCaptureHeader(const CaptureHeader& header)
{
    CaptureHeaderBytes b{};
    std::copy(kCaptureMagic.begin(), kCaptureMagic.end(), b.begin() + kMagicAt);
    putU16(b.data() + kVersionAt, kCaptureVersion);
    putU16(b.data() + kHeaderSizeAt, static_cast<std::uint16_t>(kCaptureHeaderSize));
    putU16(b.data() + kEntrySizeAt, static_cast<std::uint16_t>(kCaptureEntrySize));
    putU32(b.data() + kSerialAt, header.serialNo);
    std::copy(header.freqCodes.begin(), header.freqCodes.end(), b.begin() + kFreqCodesAt);
    putU32(b.data() + kRefreshPeriodAt, static_cast<std::uint32_t>(header.refreshPeriodMs));
    putU64(b.data() + kStartTimeAt, static_cast<std::uint64_t>(header.startUnixUs));
    return b;
}

CaptureHeader decodeCaptureHeader(const CaptureHeaderBytes& b)
{
    CaptureHeader header;
    header.serialNo = getU32(b.data() + kSerialAt);
    std::copy_n(b.begin() + kFreqCodesAt, kFreqCodesSize, header.freqCodes.begin());
    header.refreshPeriodMs = static_cast<std::int32_t>(getU32(b.data() + kRefreshPeriodAt));
    header.startUnixUs = static_cast<std::int64_t>(getU64(b.data() + kStartTimeAt));
    return header;
}

CaptureEntryBytes encodeCaptureEntry(const CaptureEntry& entry)
{
    CaptureEntryBytes b{};
    putU64(b.data() + kTimeAt, static_cast<std::uint64_t>(entry.timeUs));
    putU32(b.data() + kTickAt, entry.tick);
    putU32(b.data() + kWordAt, entry.word);
    b[kChannelAt] = entry.channel;
    b[kCellAt] = entry.cell;
    return b;
}

CaptureEntry decodeCaptureEntry(std::span<const std::uint8_t, kCaptureEntrySize> b)
{
    return {static_cast<std::int64_t>(getU64(b.data() + kTimeAt)), getU32(b.data() + kTickAt),
            getU32(b.data() + kWordAt), b[kChannelAt], b[kCellAt]};
}

std::string captureCutEntryText(std::uint64_t whole, std::size_t tailBytes, std::size_t entrySize)
{
    return "Файл записи обрывается: прочитано " + std::to_string(whole) + " целых записей, от следующей есть только "
        + std::to_string(tailBytes) + " байт из " + std::to_string(entrySize) + ".";
}

CaptureLayout judgeCaptureHeader(std::span<const std::uint8_t> first, std::uint64_t fileSize)
{
    CaptureLayout layout;
    const std::uint8_t* p = first.data();
    if (first.size() < kCaptureMagic.size() || !std::equal(kCaptureMagic.begin(), kCaptureMagic.end(), p + kMagicAt)) {
        layout.problem = "Это не файл записи слов ARINC 429: в начале нет метки TLV5CAP.";
        return layout;
    }
    if (first.size() < kVersionAt + 2) {
        layout.problem = cutHeaderText(fileSize, kCaptureHeaderSize);
        return layout;
    }
    layout.version = getU16(p + kVersionAt);
    if (layout.version != kCaptureVersion) {
        layout.problem = layout.version > kCaptureVersion
            ? "Файл записан более новой версией программы (версия формата " + std::to_string(layout.version)
                + "); эта программа читает версию " + std::to_string(kCaptureVersion) + "."
            : "Неизвестная версия формата файла записи: " + std::to_string(layout.version) + ".";
        return layout;
    }
    if (first.size() < kEntrySizeAt + 2) {
        layout.problem = cutHeaderText(fileSize, kCaptureHeaderSize);
        return layout;
    }
    layout.headerSize = getU16(p + kHeaderSizeAt);
    layout.entrySize = getU16(p + kEntrySizeAt);
    if (layout.headerSize < kCaptureHeaderSize) {
        layout.problem = "Неизвестный размер заголовка файла записи: " + std::to_string(layout.headerSize)
            + " байт (эта программа знает " + std::to_string(kCaptureHeaderSize) + ").";
        return layout;
    }
    if (layout.entrySize < kCaptureEntrySize) {
        layout.problem = "Неизвестный размер записи в файле: " + std::to_string(layout.entrySize)
            + " байт (эта программа знает " + std::to_string(kCaptureEntrySize) + ").";
        return layout;
    }
    // A larger size is a later layout's, its extra bytes skipped; but a field of all
    // ones was wiped or overwritten, and entries read at that stride would be garbage.
    if (layout.entrySize == kDamagedSize) {
        layout.problem = "Заголовок файла записи поврежден: размер записи " + std::to_string(kDamagedSize)
            + " байт (поле заполнено единицами), а записи этой программы — " + std::to_string(kCaptureEntrySize)
            + " байт.";
        return layout;
    }
    if (fileSize < layout.headerSize || first.size() < kCaptureHeaderSize) {
        layout.problem = cutHeaderText(fileSize, layout.headerSize);
        return layout;
    }

    CaptureHeaderBytes headerBytes;
    std::copy_n(p, kCaptureHeaderSize, headerBytes.begin());
    layout.header = decodeCaptureHeader(headerBytes);
    layout.readable = true;
    const std::uint64_t body = fileSize - layout.headerSize;
    layout.entries = body / layout.entrySize;
    layout.tailBytes = static_cast<std::size_t>(body % layout.entrySize);
    if (layout.tailBytes != 0)
        layout.problem = captureCutEntryText(layout.entries, layout.tailBytes, layout.entrySize);
    return layout;
}

CaptureFileContents parseCapture(std::span<const std::uint8_t> bytes)
{
    CaptureFileContents out;
    const CaptureLayout layout = judgeCaptureHeader(bytes.first(std::min(bytes.size(), kCaptureHeaderSize)), bytes.size());
    takeJudgement(layout, out);
    if (!layout.readable)
        return out;
    out.entries.reserve(static_cast<std::size_t>(layout.entries));
    const std::uint8_t* p = bytes.data() + layout.headerSize;
    for (std::uint64_t i = 0; i < layout.entries; ++i, p += layout.entrySize)
        out.entries.push_back(decodeCaptureEntry(std::span<const std::uint8_t, kCaptureEntrySize>(p, kCaptureEntrySize)));
    return out;
}

std::string captureOpenProblemText(InputProblem problem)
{
    if (problem == InputProblem::Folder || problem == InputProblem::NotRegular)
        return "Не удалось открыть файл записи: " + inputProblemText(problem) + ".";
    return "Не удалось открыть файл записи.";
}

CaptureLayout openCaptureStream(std::ifstream& in, const std::filesystem::path& file)
{
    in.close();
    in.clear();
    std::uintmax_t fileSize = 0;
    if (const InputProblem problem = openInputFile(in, file, &fileSize); problem != InputProblem::None) {
        CaptureLayout refused;
        refused.problem = captureOpenProblemText(problem);
        return refused;
    }
    CaptureHeaderBytes first{};
    in.read(reinterpret_cast<char*>(first.data()), static_cast<std::streamsize>(first.size()));
    CaptureLayout layout = judgeCaptureHeader(std::span(first.data(), static_cast<std::size_t>(in.gcount())), fileSize);
    if (!layout.readable)
        in.close();
    return layout;
}

CaptureFileContents readCaptureFile(const std::filesystem::path& file)
{
    CaptureFileContents out;
    try {
        std::ifstream in;
        const CaptureLayout layout = openCaptureStream(in, file);
        takeJudgement(layout, out);
        if (!layout.readable)
            return out;

        in.clear();
        in.seekg(static_cast<std::streamoff>(layout.headerSize));
        // Pieces of whole entries; the vector grows only as far as the file's size allows.
        out.entries.reserve(static_cast<std::size_t>(layout.entries));
        constexpr std::size_t kPieceEntries = 4096;
        std::vector<std::uint8_t> piece(kPieceEntries * layout.entrySize);
        std::uint64_t left = layout.entries;
        while (left > 0) {
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPieceEntries));
            in.read(reinterpret_cast<char*>(piece.data()), static_cast<std::streamsize>(want * layout.entrySize));
            const auto read = static_cast<std::size_t>(in.gcount());
            const std::size_t whole = read / layout.entrySize;
            for (std::size_t i = 0; i < whole; ++i)
                out.entries.push_back(decodeCaptureEntry(
                    std::span<const std::uint8_t, kCaptureEntrySize>(piece.data() + i * layout.entrySize, kCaptureEntrySize)));
            if (whole < want) { // the file shrank while it was read
                out.problem = captureCutEntryText(out.entries.size(), read % layout.entrySize, layout.entrySize);
                break;
            }
            left -= whole;
        }
    } catch (const std::bad_alloc&) {
        out.problem = "Не удалось прочитать файл записи: не хватает памяти.";
    } catch (...) {
        out.problem = "Не удалось прочитать файл записи.";
    }
    return out;
}

} // namespace telvar5
