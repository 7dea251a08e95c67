#include "control/serial_queue.h"

#include "control/thread_name.h"

namespace quorvel {

SerialQueue::SerialQueue(std::string label) : name(std::move(label)), worker([this] { work(); }) {}

SerialQueue::~SerialQueue() {
    {
        const std::lock_guard lock(mutex);
        closing = true;
    }
    wake.notify_one();
    worker.join();
}

void SerialQueue::submit(Task task) {
    {
        const std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    wake.notify_one();
}

void SerialQueue::work() {
    nameThisThread(name);
    for (;;) {
        Task task;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return closing || !tasks.empty(); });
            if (tasks.empty()) {
                return;
            }
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task();
    }
}

}  // namespace quorvel
