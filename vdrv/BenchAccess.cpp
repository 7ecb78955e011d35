#include "vdrv/BenchAccess.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace telvar5::vdrv {

bool prepareBenchDirectory(const std::filesystem::path& dir, std::string& error)
{
    const std::string name = dir.string();
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) {
        if (errno != ENOENT || (::mkdir(name.c_str(), 0700) != 0 && errno != EEXIST)
            || ::stat(name.c_str(), &st) != 0) {
            error = "cannot create the bench socket folder " + name + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        error = "the bench socket folder " + name + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        error = "the bench socket folder " + name + " belongs to another user (uid " + std::to_string(st.st_uid)
            + "); name a socket in a folder of your own";
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(st.st_mode & 07777));
        error = "the bench socket folder " + name + " is open to other users (mode " + mode
            + "); make it private (chmod 700) or name a folder that does not exist yet, which the driver "
              "creates private";
        return false;
    }
    return true;
}

std::optional<uid_t> benchPeerUid(int fd)
{
    ucred cred{};
    socklen_t length = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || length != sizeof cred)
        return std::nullopt;
    return cred.uid;
}

bool benchPeerAllowed(std::optional<uid_t> peer, uid_t self) { return peer && *peer == self; }

} // namespace telvar5::vdrv
