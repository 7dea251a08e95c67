#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quorvel {

// One worker thread that runs tasks one at a time, in the order submitted.
class SerialQueue {
  public:
    using Task = std::function<void()>;

    // Starts the worker, its thread named `label`.
    explicit SerialQueue(std::string label);
    // Runs the tasks already submitted, then joins the worker.
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Safe from any thread; returns at once.
    void submit(Task task);

  private:
    void work();

    const std::string name;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool closing = false;
    // Declared last: it starts running `work()` once everything above exists.
    std::thread worker;
};

}  // namespace quorvel
