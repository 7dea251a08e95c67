#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace quorvel {

// A repeating tick on the main thread; destroying it stops the ticks.
class RepeatingTimer {
  public:
    virtual ~RepeatingTimer() = default;
};

class TimerScheduler {
  public:
    virtual ~TimerScheduler() = default;

    // The first tick comes one interval after scheduling, then one every interval, on the main
    // thread. No tick is delivered while the tray menu is open or a modal alert runs; ticks missed
    // meanwhile collapse into a single tick when that ends, so a long menu visit never produces a
    // burst of polls.
    virtual std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                              std::function<void()> tick) = 0;
};

}  // namespace quorvel
