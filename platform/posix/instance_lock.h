#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvel {

// A per-user exclusive lock named after an application identifier, held until the process ends
// (the system drops it when the process dies, however it dies). Another user can neither take nor
// block it.
class InstanceLock {
  public:
    enum class Outcome {
        acquired,       // this process holds the lock (also on a repeated call)
        heldElsewhere,  // another running copy holds it
        unavailable,    // no safe place for the lock file; `problem` says why
    };
    struct Result {
        Outcome outcome;
        std::string problem;
    };

    // `fallbackParent`: where a private folder of ours is made when the system has no runtime
    // folder for the user, or it is unusable.
    explicit InstanceLock(std::filesystem::path fallbackParent = defaultFallbackParent());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result acquire(std::string_view identifier);

    // Running copies as the application reports them: 1 once this process holds the lock, 2 while
    // another copy holds it. A lock that cannot be taken counts as 1, said on stderr: refusing to
    // run because of a folder someone else planted would let them keep us from starting.
    int runningCopies(std::string_view identifier);

    // Per system (instance_lock_linux.cpp, instance_lock_mac.cpp). The folder private to the user
    // and cleared at logout where the lock goes first ($XDG_RUNTIME_DIR on Linux), or empty; and
    // the fallback parent, which must not be cleaned of files while a lock is held there.
    static std::string runtimeFolder();
    static std::filesystem::path defaultFallbackParent();

  private:
    std::filesystem::path fallbackParent;
    int lockFd = -1;
};

}  // namespace quorvel
