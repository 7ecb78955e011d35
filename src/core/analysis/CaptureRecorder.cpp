#include "core/analysis/CaptureRecorder.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <vector>

#include "formats/ReplacingFile.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <time.h>
#endif

namespace telvar5 {

namespace {

// Entries taken from the ring in one copy: about 0.2 s of the busiest module.
constexpr std::size_t kPieceEntries = 4096;
// The writer wakes this often, so stop() returns promptly and the file is flushed well within a second.
constexpr std::chrono::milliseconds kWakeEvery{200};

// CPU time of the calling thread.
std::int64_t threadCpuUs() noexcept
{
#ifdef _WIN32
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME& t) {
        return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; // 100 ns units
    };
    return static_cast<std::int64_t>((ticks(kernel) + ticks(user)) / 10);
#elif defined(CLOCK_THREAD_CPUTIME_ID)
    timespec ts{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts) != 0)
        return 0;
    return std::int64_t{ts.tv_sec} * 1000000 + ts.tv_nsec / 1000;
#else
    return 0;
#endif
}

// Whole entries in a capture file as its size tells: what a failed write left
// on the disk, whatever the writer had handed to its buffers.
std::uint64_t wholeEntriesIn(const std::filesystem::path& file) noexcept
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    return ec || size < kCaptureHeaderSize ? 0 : (size - kCaptureHeaderSize) / kCaptureEntrySize;
}

} // namespace

CaptureRecorder::CaptureRecorder(const CaptureRing& ring) : ring_(ring) {}

CaptureRecorder::~CaptureRecorder()
{
    stop();
}

bool CaptureRecorder::start(const std::filesystem::path& file, const CaptureHeader& header,
                            std::optional<std::uint64_t> from)
{
    const std::lock_guard lock(control_);
    if (writer_.joinable())
        return false;
    try {
        file_ = std::make_unique<ReplacingFile>(file, ReplacingFile::WhenNew::WriteDirectly);
        const CaptureHeaderBytes headerBytes = encodeCaptureHeader(header);
        if (!file_->write(std::span<const std::uint8_t>(headerBytes)) || !file_->flush()) {
            // Nothing recorded: a file made for this recording goes too.
            const bool direct = file_->direct();
            const std::filesystem::path made = file_->writingPath();
            file_->abandon();
            std::error_code ec;
            if (direct)
                std::filesystem::remove(made, ec);
            file_.reset();
            return false;
        }
        written_ = 0;
        lost_ = 0;
        failed_ = false;
        writerCpuUs_ = 0;
        stopRequested_ = false;
        const std::uint64_t head = ring_.head();
        writer_ = std::thread(&CaptureRecorder::run, this, from ? std::min(*from, head) : head);
    } catch (...) { // no memory or no thread: no recording
        file_.reset();
        return false;
    }
    recording_.store(true, std::memory_order_release);
    return true;
}

CaptureSummary CaptureRecorder::stop()
{
    const std::lock_guard lock(control_);
    if (!writer_.joinable())
        return {};
    {
        const std::lock_guard wakeLock(wakeMutex_);
        stopRequested_ = true;
    }
    wake_.notify_one();
    writer_.join();

    CaptureSummary summary;
    summary.written = written_;
    summary.lost = lost_;
    const bool direct = file_->direct();
    const std::filesystem::path path = file_->writingPath();
    if (failed_)
        file_->abandon();
    else
        summary.ok = file_->commit();
    failed_ = !summary.ok;
    summary.problem = file_->problem();
    if (summary.ok)
        summary.inFile = written_;
    else if (direct)
        summary.inFile = wholeEntriesIn(path);
    else
        summary.keptOld = true;
    file_.reset();
    recording_.store(false, std::memory_order_release);
    return summary;
}

void CaptureRecorder::run(std::uint64_t from)
{
    std::vector<CaptureEntry> entries(kPieceEntries);
    std::vector<std::uint8_t> bytes(kPieceEntries * kCaptureEntrySize);
    std::uint64_t cursor = from;
    for (;;) {
        bool stopping = false;
        {
            std::unique_lock wakeLock(wakeMutex_);
            wake_.wait_for(wakeLock, kWakeEvery, [this] { return stopRequested_; });
            stopping = stopRequested_;
        }
        // On stop, one more pass takes everything published before stop() was called.
        const bool good = drain(cursor, entries, bytes);
        writerCpuUs_.store(threadCpuUs(), std::memory_order_relaxed);
        if (!good) {
            failed_ = true; // nothing more is written; stop() reports it
            return;
        }
        if (stopping)
            return;
    }
}

bool CaptureRecorder::drain(std::uint64_t& cursor, std::span<CaptureEntry> entries, std::span<std::uint8_t> bytes)
{
    bool wrote = false;
    for (;;) {
        const CaptureRange got = ring_.copy(cursor, entries);
        lost_.fetch_add(got.first - cursor, std::memory_order_relaxed);
        cursor = got.first + got.count;
        if (got.count == 0)
            break;
        for (std::size_t i = 0; i < got.count; ++i) {
            const CaptureEntryBytes b = encodeCaptureEntry(entries[i]);
            std::memcpy(bytes.data() + i * kCaptureEntrySize, b.data(), kCaptureEntrySize);
        }
        if (!file_->write(bytes.first(got.count * kCaptureEntrySize)))
            return false;
        written_.fetch_add(got.count, std::memory_order_relaxed);
        wrote = true;
        if (got.count < entries.size())
            break;
    }
    // Handed to the OS: a crash of the program from now on loses none of it.
    return !wrote || file_->flush();
}

} // namespace telvar5
