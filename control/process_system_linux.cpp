#include <fcntl.h>
#include <unistd.h>
extern "C" {  // glibc 2.36 declares pidfd_open() without it
#include <sys/pidfd.h>
}

#include <cerrno>

#include "control/process_system.h"

namespace quorvel::process_system {

int openCloseOnExecPipe(int (&ends)[2]) {
    return pipe2(ends, O_CLOEXEC) == 0 ? 0 : errno;
}

// A pidfd: a kernel before 5.3, or a sandbox that forbids the call, gives none.
UniqueFd watchChildExit(pid_t pid) {
    return UniqueFd(pidfd_open(pid, 0));
}

int keepOnlyStandardStreams(posix_spawn_file_actions_t* actions, short& /*flags*/) {
    return posix_spawn_file_actions_addclosefrom_np(actions, STDERR_FILENO + 1);
}

}  // namespace quorvel::process_system
