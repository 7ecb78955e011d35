#include "core/analysis/CaptureReader.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace telvar5 {

namespace {
// The buffer holds whole entries, at most this many bytes (a few thousand
// entries of today's size); a later version's larger entries still fit one.
constexpr std::size_t kBufferBytes = 128 * 1024;
} // namespace

bool CaptureReader::open(const std::filesystem::path& file)
{
    header_ = {};
    entries_ = delivered_ = 0;
    bufferEntries_ = bufferPos_ = 0;
    CaptureLayout layout = openCaptureStream(in_, file);
    problem_ = std::move(layout.problem);
    if (!layout.readable)
        return false;
    header_ = layout.header;
    headerSize_ = layout.headerSize;
    entrySize_ = layout.entrySize;
    entries_ = layout.entries;
    try {
        buffer_.assign(std::max<std::size_t>(1, kBufferBytes / entrySize_) * entrySize_, 0);
    } catch (const std::bad_alloc&) {
        problem_ = "Не удалось прочитать файл записи: не хватает памяти.";
        in_.close();
        entries_ = 0;
        return false;
    }
    rewind();
    return true;
}

void CaptureReader::rewind()
{
    delivered_ = 0;
    bufferEntries_ = bufferPos_ = 0;
    if (!in_.is_open())
        return;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(headerSize_));
}

bool CaptureReader::refill()
{
    bufferEntries_ = bufferPos_ = 0;
    if (!in_.is_open() || delivered_ >= entries_)
        return false;
    const std::size_t room = buffer_.size() / entrySize_;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(entries_ - delivered_, room));
    in_.read(reinterpret_cast<char*>(buffer_.data()), static_cast<std::streamsize>(want * entrySize_));
    const auto read = static_cast<std::size_t>(in_.gcount());
    bufferEntries_ = read / entrySize_;
    if (bufferEntries_ < want) { // the file shrank while it was read: it ends here
        problem_ = captureCutEntryText(delivered_ + bufferEntries_, read % entrySize_, entrySize_);
        entries_ = delivered_ + bufferEntries_;
    }
    return bufferEntries_ > 0;
}

bool CaptureReader::next(CaptureEntry& entry)
{
    if (bufferPos_ == bufferEntries_ && !refill())
        return false;
    entry = decodeCaptureEntry(
        std::span<const std::uint8_t, kCaptureEntrySize>(buffer_.data() + bufferPos_ * entrySize_, kCaptureEntrySize));
    ++bufferPos_;
    ++delivered_;
    return true;
}

void CaptureReader::close()
{
    in_.close();
    bufferEntries_ = bufferPos_ = 0;
    delivered_ = entries_;
}

} // namespace telvar5
