#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace quorvel::testing {

// What this process holds that a leaking runner would pile up.
struct ProcessCensus {
    std::size_t openDescriptors = 0;  // entries of /proc/self/fd
    std::size_t threads = 0;          // entries of /proc/self/task
    std::size_t children = 0;         // processes whose parent is this one, zombies included

    static ProcessCensus take();
};

// The state letter of process `pid` from /proc ('R', 'S', 'Z', ...), or '\0' when it is gone.
char processState(pid_t pid);

// Whether `pid` exists and has not ended (a zombie has).
bool processRuns(pid_t pid);

// Waits up to about two seconds for `pid` to be gone or a zombie (a killed orphan waits for init to
// reap it); returns whether it is.
bool processEnds(pid_t pid);

}  // namespace quorvel::testing
