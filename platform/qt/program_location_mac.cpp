#include <CoreFoundation/CoreFoundation.h>
#include <limits.h>

#include <array>

#include "platform/qt/program_location.h"

namespace quorvel {

// The .app bundle of the running program, as the system sees it: its folder is the base directory.
std::filesystem::path ProgramLocation::programLocation() {
    CFBundleRef bundle = CFBundleGetMainBundle();  // not owned
    if (bundle == nullptr) {
        return {};
    }
    CFURLRef url = CFBundleCopyBundleURL(bundle);
    if (url == nullptr) {
        return {};
    }
    std::array<UInt8, PATH_MAX> buffer{};
    const Boolean converted = CFURLGetFileSystemRepresentation(url, true, buffer.data(),
                                                               static_cast<CFIndex>(buffer.size()));
    CFRelease(url);
    if (!converted) {
        return {};
    }
    return std::filesystem::path(reinterpret_cast<const char*>(buffer.data()));
}

}  // namespace quorvel
