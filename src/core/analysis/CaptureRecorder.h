#pragma once
// "Запись": writes every entry the capture ring publishes into a capture file,
// on a thread of its own so the UI thread's tick never waits for the disk. The
// writer follows the ring with its own cursor; the ring is its bounded queue,
// and entries the ring overwrote before the writer reached them are counted as
// lost. What was written reaches the OS at least every second, so a crash of
// the program loses at most the last second.
//
// A new file is written in place; an existing one is replaced only when the
// recording stops (the data goes to a temporary file beside it meanwhile), so a
// failed recording leaves the old file as it was.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>

#include "core/analysis/CaptureFile.h"
#include "core/analysis/CaptureRing.h"
#include "formats/WriteProblem.h"

namespace telvar5 {

class ReplacingFile;

struct CaptureSummary {
    bool ok = false;           // the whole recording is in the file
    std::uint64_t written = 0; // entries handed to the file (some may not have reached the disk when it failed)
    std::uint64_t lost = 0;    // entries the ring overwrote before the writer reached them
    // Whole entries of this recording the file holds at the end: all written
    // when ok; after a failure, what reached the new file, as its size tells;
    // none when a failed recording left an existing file as it was (keptOld).
    std::uint64_t inFile = 0;
    bool keptOld = false;
    WriteProblem problem = WriteProblem::None; // why it failed, as far as the system told
};

class CaptureRecorder {
public:
    explicit CaptureRecorder(const CaptureRing& ring);
    ~CaptureRecorder(); // stops a recording in progress
    CaptureRecorder(const CaptureRecorder&) = delete;
    CaptureRecorder& operator=(const CaptureRecorder&) = delete;

    // Starts writing every entry published from now on (ring.head()) into `file`.
    // False when the file cannot be created, or a recording is already running.
    // With `from`, the recording starts at that earlier entry instead (a pre-trigger:
    // the words just before a condition was met); entries the ring no longer holds count as lost.
    bool start(const std::filesystem::path& file, const CaptureHeader& header,
               std::optional<std::uint64_t> from = std::nullopt);
    // Writes what the ring published up to now, closes the file and reports.
    // A recording that failed keeps what a new file received; a replaced file stays as it was.
    CaptureSummary stop();

    bool recording() const noexcept { return recording_.load(std::memory_order_acquire); }
    // For a status line while running.
    std::uint64_t written() const noexcept { return written_.load(std::memory_order_relaxed); }
    std::uint64_t lost() const noexcept { return lost_.load(std::memory_order_relaxed); }
    bool failed() const noexcept { return failed_.load(std::memory_order_relaxed); }
    // CPU time of the writer thread so far, in microseconds (0 where the system does not tell).
    std::int64_t writerCpuUs() const noexcept { return writerCpuUs_.load(std::memory_order_relaxed); }

private:
    void run(std::uint64_t from);
    // Writes everything published from `cursor` on, through the writer's buffers
    // (entries.size() entries, their bytes); false when a write failed.
    bool drain(std::uint64_t& cursor, std::span<CaptureEntry> entries, std::span<std::uint8_t> bytes);

    const CaptureRing& ring_;
    std::mutex control_; // start and stop, from any thread
    std::unique_ptr<ReplacingFile> file_;
    std::thread writer_;

    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;

    std::atomic<bool> recording_{false};
    std::atomic<bool> failed_{false};
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> lost_{0};
    std::atomic<std::int64_t> writerCpuUs_{0};
};

} // namespace telvar5
