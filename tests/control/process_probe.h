#pragma once

#include <sys/types.h>

#include <cstddef>

// What the control tests look at in a process, read the way each system allows: /proc on Linux
// (process_probe_linux.cpp), proc_pidinfo and /dev/fd on macOS (process_probe_mac.cpp).
namespace quorvel::testing {

// Whether `pid` exists and has not ended (a zombie has).
bool runs(pid_t pid);

// How many descriptors and threads this process has.
std::size_t openDescriptors();
std::size_t threads();

}  // namespace quorvel::testing
