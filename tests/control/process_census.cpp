#include "tests/control/process_census.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace quorvel::testing {

namespace {

std::size_t entriesOf(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ignored);
         it != std::filesystem::directory_iterator(); it.increment(ignored)) {
        ++count;
    }
    return count;
}

// The fields of /proc/<pid>/stat after the command name, which may itself hold spaces.
std::string statFieldsAfterName(const std::filesystem::path& statFile) {
    std::ifstream file(statFile);
    const std::string stat{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto end = stat.rfind(')');
    return end == std::string::npos ? std::string() : stat.substr(end + 1);
}

}  // namespace

ProcessCensus ProcessCensus::take() {
    ProcessCensus census;
    // The directory iterator's own descriptor is counted too, the same way every time.
    census.openDescriptors = entriesOf("/proc/self/fd");
    census.threads = entriesOf("/proc/self/task");
    const pid_t self = getpid();
    std::error_code ignored;
    for (auto it = std::filesystem::directory_iterator("/proc", ignored);
         it != std::filesystem::directory_iterator(); it.increment(ignored)) {
        const std::string name = it->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const std::string fields = statFieldsAfterName(it->path() / "stat");
        char state = 0;
        long parent = 0;
        if (std::sscanf(fields.c_str(), " %c %ld", &state, &parent) == 2 && parent == self) {
            ++census.children;
        }
    }
    return census;
}

char processState(pid_t pid) {
    const std::string fields =
        statFieldsAfterName(std::filesystem::path("/proc") / std::to_string(pid) / "stat");
    char state = 0;
    return std::sscanf(fields.c_str(), " %c", &state) == 1 ? state : '\0';
}

bool processRuns(pid_t pid) {
    const char state = processState(pid);
    return state != '\0' && state != 'Z' && state != 'X';
}

bool processEnds(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        if (!processRuns(pid)) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace quorvel::testing
