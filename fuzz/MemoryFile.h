#pragma once
// A file in memory with a path the loaders can open, so a fuzz target feeds
// them its input without touching the disk on every run.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"

class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("telvar5-fuzz", 0)), path_("/proc/self/fd/" + std::to_string(fd_))
    {
        FUZZ_CHECK(fd_ >= 0);
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Makes the file hold exactly these bytes.
    void assign(const std::uint8_t* data, std::size_t size)
    {
        FUZZ_CHECK(ftruncate(fd_, 0) == 0);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            FUZZ_CHECK(n > 0);
            done += static_cast<std::size_t>(n);
        }
    }
    const std::string& path() const { return path_; }

private:
    int fd_;
    std::string path_;
};
