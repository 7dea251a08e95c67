#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/main_thread.h"

namespace quorvel::testing {

// A main thread for tests: posted tasks wait until the test runs them on its own thread. It
// records the thread each task was posted from.
class QueuedMainThread : public MainThread {
  public:
    void post(std::function<void()> task) override;

    // Waits until `count` tasks have been posted in all (or `timeout` has passed) and runs those
    // not yet run, on the calling thread. Returns how many have been posted in all.
    std::size_t runPosted(std::size_t count,
                          std::chrono::milliseconds timeout = std::chrono::seconds(20));

    std::vector<std::thread::id> postingThreads() const;

  private:
    mutable std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> pending;
    std::vector<std::thread::id> posters;
};

}  // namespace quorvel::testing
