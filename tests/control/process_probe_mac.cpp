#include <dlfcn.h>
#include <libproc.h>
#include <sys/proc.h>
#include <sys/proc_info.h>
#include <unistd.h>

#include <cerrno>

#include "tests/control/process_probe.h"

namespace quorvel::testing {

bool runs(pid_t pid) {
    proc_bsdinfo info{};
    return proc_pidinfo(pid, PROC_PIDTBSDINFO, 0, &info, sizeof info) == sizeof info &&
           info.pbi_status != SZOMB;
}

long threads() {
    proc_taskinfo info{};
    return proc_pidinfo(getpid(), PROC_PIDTASKINFO, 0, &info, sizeof info) == sizeof info
               ? info.pti_threadnum
               : -1;
}

}  // namespace quorvel::testing

// Stands in for the C library's kqueue() in the test program: it fails while withheld.
extern "C" int kqueue() {
    if (quorvel::testing::exitWatchesWithheld) {
        errno = EMFILE;
        return -1;
    }
    using Kqueue = int (*)();
    static const auto next = reinterpret_cast<Kqueue>(dlsym(RTLD_NEXT, "kqueue"));
    return next();
}
