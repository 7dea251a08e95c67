#pragma once

#include "interfaces/repeating_timer.h"

namespace quorvel {

class TickHold;

// Repeating ticks from a QTimer on the main thread. A tick that falls due while `hold` is held is
// not delivered then; when the hold ends, all the ticks missed meanwhile are delivered as one,
// right away (after the work that ended the hold), and the next tick comes one full interval
// later. Nothing runs between ticks: no polling timer, no busy wait.
class QtTimerScheduler : public TimerScheduler {
  public:
    explicit QtTimerScheduler(TickHold& hold);

    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> tick) override;

  private:
    TickHold& hold;
};

}  // namespace quorvel
