#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/posix/instance_lock.h"

namespace quorvel {
namespace {

struct Folder {
    int fd = -1;
    std::string problem;
};

std::string describe(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// The user's runtime folder: private to the user and cleared at logout.
Folder openRuntimeFolder() {
    const std::string runtime = InstanceLock::runtimeFolder();
    if (runtime.empty() || runtime[0] != '/') {
        return {-1, "no runtime folder"};
    }
    const int fd = ::open(runtime.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return {-1, describe(runtime, errno)};
    }
    return {fd, {}};
}

// A folder of ours under `parent`, named with the uid: made 0700, and used only when it is a real
// folder (not a symlink) owned by us and closed to everyone else, so that another user cannot
// plant it or the lock file in it.
Folder openPrivateFolder(const std::filesystem::path& parent, std::string_view identifier) {
    const uid_t uid = ::getuid();
    const std::string path =
        (parent / (std::string(identifier) + "-" + std::to_string(uid))).string();
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return {-1, describe(path, errno)};
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return {-1, describe(path, errno)};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != uid ||
        (info.st_mode & 077) != 0) {
        ::close(fd);
        return {-1, path + " is not a private folder of this user"};
    }
    return {fd, {}};
}

}  // namespace

InstanceLock::InstanceLock(std::filesystem::path fallbackParent)
    : fallbackParent(std::move(fallbackParent)) {}

InstanceLock::~InstanceLock() {
    if (lockFd >= 0) {
        ::close(lockFd);
    }
}

InstanceLock::Result InstanceLock::acquire(std::string_view identifier) {
    if (lockFd >= 0) {
        return {Outcome::acquired, {}};
    }
    Folder folder = openRuntimeFolder();
    const std::string name = std::string(identifier) + ".lock";
    int fd = -1;
    if (folder.fd >= 0) {
        fd = ::openat(folder.fd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        ::close(folder.fd);
    }
    if (fd < 0) {
        folder = openPrivateFolder(fallbackParent, identifier);
        if (folder.fd < 0) {
            return {Outcome::unavailable, folder.problem};
        }
        fd = ::openat(folder.fd, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        const int openError = errno;
        ::close(folder.fd);
        if (fd < 0) {
            return {Outcome::unavailable, describe(name, openError)};
        }
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        ::close(fd);
        if (lockError == EWOULDBLOCK) {
            return {Outcome::heldElsewhere, {}};
        }
        return {Outcome::unavailable, describe(name, lockError)};
    }
    lockFd = fd;
    return {Outcome::acquired, {}};
}

int InstanceLock::runningCopies(std::string_view identifier) {
    const Result result = acquire(identifier);
    switch (result.outcome) {
        case Outcome::acquired:
            return 1;
        case Outcome::heldElsewhere:
            return 2;
        case Outcome::unavailable:
            break;
    }
    std::fprintf(stderr, "quorvel-connect: cannot check for another running copy (%s)\n",
                 result.problem.c_str());
    return 1;
}

}  // namespace quorvel
