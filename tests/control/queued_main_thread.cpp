#include "tests/control/queued_main_thread.h"

namespace quorvel::testing {

void QueuedMainThread::post(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex);
        pending.push_back(std::move(task));
        posters.push_back(std::this_thread::get_id());
    }
    posted.notify_all();
}

std::size_t QueuedMainThread::runPosted(std::size_t count, std::chrono::milliseconds timeout) {
    std::deque<std::function<void()>> tasks;
    std::size_t total = 0;
    {
        std::unique_lock lock(mutex);
        posted.wait_for(lock, timeout, [&] { return posters.size() >= count; });
        tasks.swap(pending);
        total = posters.size();
    }
    for (auto& task : tasks) {
        task();
    }
    return total;
}

std::vector<std::thread::id> QueuedMainThread::postingThreads() const {
    const std::lock_guard lock(mutex);
    return posters;
}

}  // namespace quorvel::testing
