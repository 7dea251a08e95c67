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

    // `fallbackParent`: where a private folder of ours is made when $XDG_RUNTIME_DIR is unset or
    // unusable.
    explicit InstanceLock(std::filesystem::path fallbackParent = "/tmp");
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result acquire(std::string_view identifier);

  private:
    std::filesystem::path fallbackParent;
    int lockFd = -1;
};

}  // namespace quorvel
