#pragma once

#include <unistd.h>

#include <utility>

namespace quorvel {

// Sole owner of a file descriptor: closes it when destroyed. Move-only.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset(std::exchange(other.fd, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd; }
    bool valid() const { return fd >= 0; }

    // Closes the descriptor held (a close interrupted by a signal has still released it on
    // Linux, so it is never retried) and takes `replacement`.
    void reset(int replacement = -1) {
        if (fd >= 0) {
            ::close(fd);
        }
        fd = replacement;
    }

  private:
    int fd = -1;
};

}  // namespace quorvel
