#include "core/analysis/WordLogRecording.h"

#include <algorithm>
#include <new>

namespace telvar5 {

bool WordLogRecording::open(const std::filesystem::path& file)
{
    header_ = {};
    entries_ = 0;
    loadedEntries_ = 0;
    CaptureLayout layout = openCaptureStream(in_, file);
    problem_ = std::move(layout.problem);
    if (!layout.readable)
        return false;
    header_ = layout.header;
    headerSize_ = layout.headerSize;
    entrySize_ = layout.entrySize;
    entries_ = layout.entries;
    try {
        blockEntries_ = std::clamp<std::size_t>(kCacheBytes / entrySize_, 1, kBlockEntries);
        bytes_.assign(blockEntries_ * entrySize_, 0);
    } catch (const std::bad_alloc&) {
        problem_ = "Не удалось прочитать файл записи: не хватает памяти.";
        in_.close();
        entries_ = 0;
        return false;
    }
    return true;
}

bool WordLogRecording::load(std::uint64_t block)
{
    loadedEntries_ = 0;
    const std::uint64_t first = block * blockEntries_;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(blockEntries_, entries_ - first));
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(headerSize_ + first * entrySize_));
    in_.read(reinterpret_cast<char*>(bytes_.data()), static_cast<std::streamsize>(want * entrySize_));
    const auto read = static_cast<std::size_t>(std::max<std::streamsize>(in_.gcount(), 0));
    const std::size_t whole = read / entrySize_;
    if (whole < want) {
        // The file shrank after it was opened: its size now says where it ends,
        // which may be before this block.
        in_.clear();
        in_.seekg(0, std::ios::end);
        const std::streamoff size = in_.tellg();
        const std::uint64_t body =
            size > static_cast<std::streamoff>(headerSize_) ? static_cast<std::uint64_t>(size) - headerSize_ : 0;
        entries_ = std::min(first + whole, body / entrySize_);
        problem_ = captureCutEntryText(entries_, static_cast<std::size_t>(body - entries_ * entrySize_) % entrySize_,
                                       entrySize_);
    }
    loadedBlock_ = block;
    loadedEntries_ = whole;
    return whole > 0;
}

bool WordLogRecording::entry(std::uint64_t number, CaptureEntry& out)
{
    if (!in_.is_open() || number >= entries_)
        return false;
    const std::uint64_t block = number / blockEntries_;
    if ((loadedEntries_ == 0 || block != loadedBlock_) && !load(block))
        return false;
    const auto index = static_cast<std::size_t>(number % blockEntries_);
    if (index >= loadedEntries_)
        return false;
    out = decodeCaptureEntry(std::span<const std::uint8_t, kCaptureEntrySize>(bytes_.data() + index * entrySize_,
                                                                             kCaptureEntrySize));
    return true;
}

} // namespace telvar5
