#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvel {

// One program to run: no shell, every argument reaches it as one string.
struct ProcessCommand {
    std::filesystem::path executable;      // also passed as argv[0]
    std::vector<std::string> arguments;    // argv[1] onwards
    std::vector<std::string> environment;  // "NAME=value" entries, exactly these
    std::filesystem::path workingDirectory;
};

struct ProcessLimits {
    // How long a process group has between SIGTERM and SIGKILL.
    std::chrono::milliseconds killGrace{2'000};
    // How long, once the process has ended, something it left running may keep its output open.
    std::chrono::milliseconds exitDrain{2'000};
    // Output beyond this many bytes is refused and the process group killed.
    std::size_t outputCap = std::size_t{1} << 20;
};

struct ProcessOutcome {
    enum class Ending {
        finished,        // the process ended; `output` is everything read
        launchFailed,    // it never started; `error` is the errno value
        timedOut,        // it outlived the time limit and was killed
        outputTooLarge,  // it wrote more than the cap and was killed
        waitFailed,      // it could no longer be watched and was killed; `error` says why
    };
    Ending ending = Ending::finished;
    std::string output;
    int error = 0;
};

// Runs `command` to the end on the calling thread, never blocking past the limits: standard output
// is read from a pipe, standard error goes to /dev/null, standard input is inherited, and only
// descriptors 0, 1 and 2 reach the program. The process is always reaped before this returns; its
// exit status is not consulted. Never throws except for memory exhaustion.
// `timeLimit` is counted from the start; past it the process group gets SIGTERM, then SIGKILL.
ProcessOutcome runProcess(const ProcessCommand& command, std::chrono::milliseconds timeLimit,
                          const ProcessLimits& limits);

}  // namespace quorvel
