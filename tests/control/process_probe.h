#pragma once

#include <sys/types.h>

#include <atomic>

// What the control tests look at in a process, read the way each system allows: /proc on Linux
// (process_probe_linux.cpp), proc_pidinfo on macOS (process_probe_mac.cpp).
namespace quorvel::testing {

// Whether `pid` exists and has not ended (a zombie has).
bool runs(pid_t pid);

// How many threads this process has.
long threads();

// While set, the system gives this process no descriptor that reports a child's exit, as Linux
// before 5.3 gives no pidfd and macOS no kqueue event for a child that has already ended: runs
// then fall back to checking for the exit from time to time.
inline std::atomic<bool> exitWatchesWithheld{false};

}  // namespace quorvel::testing
