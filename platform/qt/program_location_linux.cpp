#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "platform/qt/program_location.h"

namespace quorvel {

std::filesystem::path ProgramLocation::programLocation() {
    if (const char* appImage = std::getenv("APPIMAGE"); appImage != nullptr && appImage[0] == '/') {
        return appImage;
    }
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    // A program replaced on disk while it runs still has its folder; drop the kernel's marker.
    constexpr std::string_view deleted = " (deleted)";
    std::string text = executable.string();
    if (text.ends_with(deleted)) {
        text.erase(text.size() - deleted.size());
    }
    return text;
}

}  // namespace quorvel
