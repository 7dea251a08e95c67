#pragma once

#include <string_view>

namespace quorvel {

// Names the calling thread for debuggers and crash reports, cut to what the system holds (15
// bytes on Linux, 63 on macOS). Defined in thread_name_linux.cpp or thread_name_mac.cpp.
void nameThisThread(std::string_view name);

}  // namespace quorvel
