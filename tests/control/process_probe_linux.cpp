#include <dlfcn.h>
extern "C" {  // glibc 2.36 declares pidfd_open() without it
#include <sys/pidfd.h>
}

#include <cerrno>
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

// Stands in for the C library's pidfd_open() in the test program: it fails while withheld.
extern "C" int pidfd_open(pid_t pid, unsigned int flags) noexcept {
    if (quorvel::testing::exitWatchesWithheld) {
        errno = ENOSYS;
        return -1;
    }
    using PidfdOpen = int (*)(pid_t, unsigned int);
    static const auto next = reinterpret_cast<PidfdOpen>(dlsym(RTLD_NEXT, "pidfd_open"));
    return next(pid, flags);
}
