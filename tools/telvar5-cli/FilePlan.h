#pragma once
// The files the commands of an invocation will write, in their order, so that
// a command that reads a file can tell one an earlier command makes (record,
// then export of that capture) from one that must be there before the module
// is touched.
#include <filesystem>
#include <string>
#include <vector>

namespace telvar5::cli {

class FilePlan {
public:
    // A file (UTF-8, as typed) that a command written before the next ones makes.
    void willWrite(const std::string& path);
    bool writtenEarlier(const std::string& path) const;

private:
    static std::filesystem::path spelled(const std::string& path);

    std::vector<std::filesystem::path> written_;
};

} // namespace telvar5::cli
