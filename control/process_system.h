#pragma once

#include <spawn.h>
#include <sys/types.h>

#include "control/unique_fd.h"

// The few system calls for running a child process that differ between Linux and macOS, each
// defined in process_system_linux.cpp or process_system_mac.cpp. Errors are errno values, 0 for
// success.
namespace quorvel::process_system {

// A pipe whose two ends are close-on-exec from their first instant.
int openCloseOnExecPipe(int (&ends)[2]);

// A descriptor that poll() reports readable once `pid`, a child of ours, has ended; invalid when
// the system cannot give one (the caller then asks waitid() from time to time). Reaps nothing.
UniqueFd watchChildExit(pid_t pid);

// Makes the child of a spawn keep only descriptors 0, 1 and 2 of ours, plus what `actions` opens
// or duplicates onto them. `flags` are the attribute flags the spawn will set.
int keepOnlyStandardStreams(posix_spawn_file_actions_t* actions, short& flags);

}  // namespace quorvel::process_system
