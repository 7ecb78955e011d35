#pragma once
// Who may use the bench socket: only the user who runs the driver. The socket
// lives in a folder of that user's that nobody else can enter, the socket file
// has mode 0600, and the server asks the kernel who is at the other end of each
// connection (SO_PEERCRED) and turns away anyone else.
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace telvar5::vdrv {

// Makes sure the socket's folder is private: a missing folder is created with
// mode 0700 (its parent must exist); an existing one must be a folder owned by
// this user with no permission for group or others (0700). Otherwise false and
// a reason that says what to do.
bool prepareBenchDirectory(const std::filesystem::path& dir, std::string& error);

// The user at the other end of a connected Unix socket, as the kernel saw it connect.
std::optional<uid_t> benchPeerUid(int fd);

// Whether that peer may use the bench: the driver's own user only, no
// exception for root (root can reach the driver's process by other means anyway).
bool benchPeerAllowed(std::optional<uid_t> peer, uid_t self);

} // namespace telvar5::vdrv
