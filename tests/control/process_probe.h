#pragma once

#include <sys/types.h>

// What the control tests look at in a process, read the way each system allows: /proc on Linux
// (process_probe_linux.cpp), proc_pidinfo on macOS (process_probe_mac.cpp).
namespace quorvel::testing {

// Whether `pid` exists and has not ended (a zombie has).
bool runs(pid_t pid);

// How many threads this process has.
long threads();

}  // namespace quorvel::testing
