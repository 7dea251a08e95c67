#include <libproc.h>
#include <sys/proc.h>
#include <sys/proc_info.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>

#include "tests/control/process_probe.h"

namespace quorvel::testing {

bool runs(pid_t pid) {
    proc_bsdinfo info{};
    return proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, sizeof info) == sizeof info &&
           info.pbi_status != SZOMB;
}

std::size_t openDescriptors() {
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator("/dev/fd"), {}));
}

std::size_t threads() {
    proc_taskinfo info{};
    if (proc_pidinfo(getpid(), PROC_PIDTASKINFO, 0, &info, sizeof info) != sizeof info) {
        return 0;
    }
    return static_cast<std::size_t>(info.pti_threadnum);
}

}  // namespace quorvel::testing
