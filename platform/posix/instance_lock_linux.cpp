#include <cstdlib>

#include "platform/posix/instance_lock.h"

namespace quorvel {

std::string InstanceLock::runtimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr ? runtime : "";
}

std::filesystem::path InstanceLock::defaultFallbackParent() {
    return "/tmp";
}

}  // namespace quorvel
