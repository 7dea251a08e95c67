#include <fcntl.h>
#include <sys/event.h>
#include <unistd.h>

#include <cerrno>

#include "control/process_system.h"

namespace quorvel::process_system {

// macOS has no pipe2. A descriptor another thread's spawn could inherit in between is harmless to
// ours, which close everything not named (keepOnlyStandardStreams).
int openCloseOnExecPipe(int (&ends)[2]) {
    if (pipe(ends) != 0) {
        return errno;
    }
    for (const int end : ends) {
        if (fcntl(end, F_SETFD, FD_CLOEXEC) != 0) {
            const int error = errno;
            close(ends[0]);
            close(ends[1]);
            return error;
        }
    }
    return 0;
}

// A kqueue that holds one event, the child's exit. A child already gone (ESRCH) gets none: the
// caller's waitid() then sees it at once. A kqueue is never inherited by a child.
UniqueFd watchChildExit(pid_t pid) {
    UniqueFd queue(kqueue());
    if (!queue.valid()) {
        return queue;
    }
    struct kevent exit {};
    EV_SET(&exit, static_cast<uintptr_t>(pid), EVFILT_PROC, EV_ADD | EV_ONESHOT, NOTE_EXIT, 0,
           nullptr);
    if (kevent(queue.get(), &exit, 1, nullptr, 0, nullptr) != 0) {
        return UniqueFd();
    }
    return queue;
}

// Every descriptor is closed in the child but those the file actions name; standard input is
// named here (when we have one: naming a closed descriptor would fail the spawn), standard output
// and error by the caller's own actions.
int keepOnlyStandardStreams(posix_spawn_file_actions_t* actions, short& flags) {
    flags |= POSIX_SPAWN_CLOEXEC_DEFAULT;
    if (fcntl(STDIN_FILENO, F_GETFD) < 0) {
        return 0;
    }
    return posix_spawn_file_actions_addinherit_np(actions, STDIN_FILENO);
}

}  // namespace quorvel::process_system
