#include "platform/qt/program_location.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>

namespace quorvel {
namespace {

std::string runningExecutable() {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    return length > 0 ? std::string(buffer.data(), static_cast<std::size_t>(length)) : "";
}

TEST(ProgramLocation, IsTheRunningExecutableOrTheAppImageItCameFrom) {
    ::unsetenv("APPIMAGE");
    ProgramLocation location;
    EXPECT_EQ(location.programLocation(), runningExecutable());
    EXPECT_TRUE(location.programLocation().is_absolute());

    ::setenv("APPIMAGE", "/opt/Quorvel Ä/QUORVEL_Connect-x86_64.AppImage", 1);
    EXPECT_EQ(location.programLocation(), "/opt/Quorvel Ä/QUORVEL_Connect-x86_64.AppImage");
    EXPECT_EQ(location.programLocation().parent_path(), "/opt/Quorvel Ä");

    for (const char* unusable : {"", "relative/App.AppImage"}) {
        ::setenv("APPIMAGE", unusable, 1);
        EXPECT_EQ(location.programLocation(), runningExecutable()) << unusable;
    }
    ::unsetenv("APPIMAGE");
}

}  // namespace
}  // namespace quorvel
