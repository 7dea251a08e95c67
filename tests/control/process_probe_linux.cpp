#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/control/process_probe.h"

namespace quorvel::testing {

bool runs(pid_t pid) {
    std::ifstream statFile("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat{std::istreambuf_iterator<char>(statFile), {}};
    // The state letter follows the command name, which may itself hold spaces.
    const auto nameEnd = stat.rfind(") ");
    return nameEnd != std::string::npos && stat.at(nameEnd + 2) != 'Z';
}

long threads() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {});
}

}  // namespace quorvel::testing
