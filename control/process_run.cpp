#include "control/process_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

#include "control/process_system.h"
#include "control/unique_fd.h"

namespace quorvel {

namespace {

using Clock = std::chrono::steady_clock;

// When the system gives no descriptor that tells of the child's end, it can only be noticed by
// asking; this is how often.
constexpr int exitCheckIntervalWithoutWatch = 10;

int millisecondsUntil(Clock::time_point deadline, Clock::time_point now) {
    if (deadline <= now) {
        return 0;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    return static_cast<int>(std::min<long long>(left, INT_MAX));
}

// One of posix_spawn's description objects (file actions, attributes), destroyed on every path.
template <typename Description, int (*initialise)(Description*), int (*destroy)(Description*)>
class SpawnDescription {
  public:
    SpawnDescription() : error(initialise(&description)) {}
    ~SpawnDescription() {
        if (error == 0) {
            destroy(&description);
        }
    }
    SpawnDescription(const SpawnDescription&) = delete;
    SpawnDescription& operator=(const SpawnDescription&) = delete;

    // The error of the initialisation, or 0.
    int initError() const { return error; }
    Description* get() { return &description; }

  private:
    Description description{};
    int error;
};

using SpawnFileActions = SpawnDescription<posix_spawn_file_actions_t, posix_spawn_file_actions_init,
                                          posix_spawn_file_actions_destroy>;
using SpawnAttributes =
    SpawnDescription<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;

// `fd` moved to 3 or above, close-on-exec. When the application was started with descriptor 0, 1
// or 2 closed, a new pipe end could land there and would then leak into the child.
UniqueFd aboveStandardStreams(int fd) {
    if (fd < 0 || fd > STDERR_FILENO) {
        return UniqueFd(fd);
    }
    UniqueFd original(fd);
    return UniqueFd(fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
}

struct Pipe {
    UniqueFd readEnd;
    UniqueFd writeEnd;
};

// 0, or the errno value of the failure.
int openPipe(Pipe& pipe) {
    int ends[2] = {-1, -1};
    if (const int error = process_system::openCloseOnExecPipe(ends); error != 0) {
        return error;
    }
    pipe.readEnd = aboveStandardStreams(ends[0]);
    pipe.writeEnd = aboveStandardStreams(ends[1]);
    if (!pipe.readEnd.valid() || !pipe.writeEnd.valid()) {
        return EMFILE;
    }
    // Only our end is non-blocking: the child's standard output stays an ordinary blocking pipe.
    const int flags = fcntl(pipe.readEnd.get(), F_GETFL);
    if (flags < 0 || fcntl(pipe.readEnd.get(), F_SETFL, flags | O_NONBLOCK) != 0) {
        return errno;
    }
    return 0;
}

// The started child, the leader of its own process group. It is reaped exactly once, by pid; if
// it has not been by the time this is destroyed, its group is killed and it is reaped then.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid(pid), exitWatch(process_system::watchChildExit(pid)) {}
    ~ChildProcess() {
        if (!reaped) {
            signalGroup(SIGKILL);
            reap();
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Readable once the child has ended, or -1 when the system gave no such descriptor.
    int exitFd() const { return exitWatch.get(); }

    // Whether the child has ended. It stays unreaped, so its pid, and with it the process group
    // id, cannot be reused by another process while we may still signal the group.
    bool hasExited() {
        for (;;) {
            siginfo_t info{};
            if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
                // macOS may also report a child that was stopped or continued: it has not ended.
                return info.si_pid == pid &&
                       (info.si_code == CLD_EXITED || info.si_code == CLD_KILLED ||
                        info.si_code == CLD_DUMPED);
            }
            if (errno == EINTR) {
                continue;
            }
            // ECHILD: someone reaped it behind our back (SIGCHLD ignored process-wide).
            reaped = true;
            return true;
        }
    }

    // Whether the child ended before `deadline`.
    bool waitForExit(Clock::time_point deadline) {
        for (;;) {
            if (hasExited()) {
                return true;
            }
            const auto now = Clock::now();
            if (now >= deadline) {
                return false;
            }
            int timeout = millisecondsUntil(deadline, now);
            pollfd exit{exitWatch.get(), POLLIN, 0};
            if (!exitWatch.valid()) {
                timeout = std::min(timeout, exitCheckIntervalWithoutWatch);
            }
            poll(&exit, exitWatch.valid() ? 1 : 0, timeout);
        }
    }

    // Signals the whole group; the child alone should the group be gone, so that a kill is never
    // followed by a wait that cannot end.
    void signalGroup(int signal) const {
        if (!reaped && ::kill(-pid, signal) != 0) {
            ::kill(pid, signal);
        }
    }

    void reap() {
        if (reaped) {
            return;
        }
        while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        reaped = true;
    }

    // SIGTERM to the group, SIGKILL `grace` later (or as soon as the child has ended), then reap.
    void stop(std::chrono::milliseconds grace) {
        signalGroup(SIGTERM);
        waitForExit(Clock::now() + grace);
        signalGroup(SIGKILL);
        reap();
    }

  private:
    pid_t pid;
    UniqueFd exitWatch;
    bool reaped = false;
};

ProcessOutcome outcomeOf(ProcessOutcome::Ending ending) {
    ProcessOutcome outcome;
    outcome.ending = ending;
    return outcome;
}

ProcessOutcome failure(ProcessOutcome::Ending ending, int error) {
    ProcessOutcome outcome = outcomeOf(ending);
    outcome.error = error;
    return outcome;
}

ProcessOutcome launchFailure(int error) {
    return failure(ProcessOutcome::Ending::launchFailed, error);
}

// A null-terminated array of pointers into `strings`, which must outlive it.
std::vector<char*> pointerArray(const std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (const std::string& s : strings) {
        pointers.push_back(const_cast<char*>(s.c_str()));
    }
    pointers.push_back(nullptr);
    return pointers;
}

// 0, or the errno value of the first call that failed.
int describeChildSetup(SpawnFileActions& actions, SpawnAttributes& attributes, int outputFd,
                       const std::filesystem::path& workingDirectory) {
    if (actions.initError() != 0) {
        return actions.initError();
    }
    if (attributes.initError() != 0) {
        return attributes.initError();
    }
    // Standard output to the pipe, standard error to the null device; then every other descriptor
    // goes, so that no lock, socket or display connection of ours reaches the script's service.
    for (const int error : {
             posix_spawn_file_actions_adddup2(actions.get(), outputFd, STDOUT_FILENO),
             posix_spawn_file_actions_addopen(actions.get(), STDERR_FILENO, "/dev/null", O_WRONLY,
                                              0),
             posix_spawn_file_actions_addchdir_np(actions.get(), workingDirectory.c_str()),
         }) {
        if (error != 0) {
            return error;
        }
    }
    short flags = POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (const int error = process_system::keepOnlyStandardStreams(actions.get(), flags);
        error != 0) {
        return error;
    }
    sigset_t noSignals;
    sigemptyset(&noSignals);
    sigset_t allSignals;
    sigfillset(&allSignals);
    // The child leads a process group of its own so that a time-limit kill also reaches what a
    // hung script started without detaching. A service it starts properly (setsid) is in another
    // session and is never touched. Signals start unblocked and at their defaults, whatever this
    // thread had.
    for (const int error : {
             posix_spawnattr_setflags(attributes.get(), flags),
             posix_spawnattr_setpgroup(attributes.get(), 0),
             posix_spawnattr_setsigmask(attributes.get(), &noSignals),
             posix_spawnattr_setsigdefault(attributes.get(), &allSignals),
         }) {
        if (error != 0) {
            return error;
        }
    }
    return 0;
}

}  // namespace

ProcessOutcome runProcess(const ProcessCommand& command, std::chrono::milliseconds timeLimit,
                          const ProcessLimits& limits) {
    const auto started = Clock::now();
    const auto deadline = started + timeLimit;

    Pipe pipe;
    if (const int error = openPipe(pipe); error != 0) {
        return launchFailure(error);
    }
    SpawnFileActions actions;
    SpawnAttributes attributes;
    if (const int error =
            describeChildSetup(actions, attributes, pipe.writeEnd.get(), command.workingDirectory);
        error != 0) {
        return launchFailure(error);
    }

    std::vector<std::string> argumentStrings;
    argumentStrings.reserve(command.arguments.size() + 1);
    argumentStrings.push_back(command.executable.string());
    argumentStrings.insert(argumentStrings.end(), command.arguments.begin(),
                           command.arguments.end());
    const std::vector<char*> argv = pointerArray(argumentStrings);
    const std::vector<char*> envp = pointerArray(command.environment);

    pid_t pid = -1;
    const int spawnError = posix_spawn(&pid, command.executable.c_str(), actions.get(),
                                       attributes.get(), argv.data(), envp.data());
    // From here on only the child holds the writing end, so end of file arrives once every holder
    // of its standard output has closed it.
    pipe.writeEnd.reset();
    if (spawnError != 0) {
        return launchFailure(spawnError);
    }
    ChildProcess child(pid);

    ProcessOutcome outcome = outcomeOf(ProcessOutcome::Ending::finished);
    std::string& output = outcome.output;
    std::array<char, 64 * 1024> buffer{};
    bool endOfOutput = false;
    bool exited = false;
    Clock::time_point drainDeadline;

    while (!(endOfOutput && exited)) {
        const auto now = Clock::now();
        if (exited && now >= drainDeadline) {
            // Something the child left running holds its output open: keep what was read.
            break;
        }
        if (!exited && now >= deadline) {
            child.stop(limits.killGrace);
            return outcomeOf(ProcessOutcome::Ending::timedOut);
        }

        std::array<pollfd, 2> watched{};
        nfds_t count = 0;
        pollfd* outputEvent = nullptr;
        pollfd* exitEvent = nullptr;
        if (!endOfOutput) {
            watched[count] = {pipe.readEnd.get(), POLLIN, 0};
            outputEvent = &watched[count++];
        }
        int timeout = millisecondsUntil(exited ? drainDeadline : deadline, now);
        if (!exited) {
            if (child.exitFd() >= 0) {
                watched[count] = {child.exitFd(), POLLIN, 0};
                exitEvent = &watched[count++];
            } else {
                timeout = std::min(timeout, exitCheckIntervalWithoutWatch);
            }
        }
        if (poll(watched.data(), count, timeout) < 0) {
            if (errno == EINTR) {
                continue;
            }
            // Nothing can be waited for any more: the run is given up, and what was read so far
            // may be any part of the reply, so it is not used.
            const int error = errno;
            child.stop(std::chrono::milliseconds{0});
            return failure(ProcessOutcome::Ending::waitFailed, error);
        }

        if (outputEvent != nullptr && outputEvent->revents != 0) {
            for (;;) {
                const std::size_t wanted =
                    std::min(buffer.size(), limits.outputCap + 1 - output.size());
                const ssize_t got = read(pipe.readEnd.get(), buffer.data(), wanted);
                if (got > 0) {
                    output.append(buffer.data(), static_cast<std::size_t>(got));
                    if (output.size() > limits.outputCap) {
                        child.signalGroup(SIGKILL);
                        child.reap();
                        return outcomeOf(ProcessOutcome::Ending::outputTooLarge);
                    }
                    continue;
                }
                if (got < 0 && errno == EINTR) {
                    continue;
                }
                if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                    break;
                }
                endOfOutput = true;  // end of file, or a read error that ends the output alike
                break;
            }
        }
        if (!exited && (exitEvent == nullptr || exitEvent->revents != 0) && child.hasExited()) {
            exited = true;
            drainDeadline = Clock::now() + limits.exitDrain;
        }
    }
    child.reap();
    return outcome;
}

}  // namespace quorvel
