#include <libproc.h>
#include <sys/proc.h>
#include <sys/proc_info.h>
#include <unistd.h>

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
