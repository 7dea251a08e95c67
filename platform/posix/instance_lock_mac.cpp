#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/posix/instance_lock.h"

namespace quorvel {

// macOS has no runtime folder. Its /tmp and per-user temporary folders are cleaned of files
// untouched for three days, and a held lock touches nothing: a second copy could then start.
std::string InstanceLock::runtimeFolder() {
    return {};
}

// The user's Application Support folder, which the system never cleans.
std::filesystem::path InstanceLock::defaultFallbackParent() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : "/var/empty";
    }
    return std::filesystem::path(home) / "Library" / "Application Support";
}

}  // namespace quorvel
