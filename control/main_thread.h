#pragma once

#include <functional>

namespace quorvel {

class MainThread {
  public:
    virtual ~MainThread() = default;

    // Runs `task` later on the main thread. Safe from any thread; tasks run in the order posted.
    virtual void post(std::function<void()> task) = 0;
};

}  // namespace quorvel
