#pragma once

#include "interfaces/repeating_timer.h"

namespace quorvel {

// Ticks from an NSTimer in the run loop's default mode. AppKit runs the loop in other modes while
// the menu tracks and while a modal alert runs, so no tick comes then; a tick that fell due
// meanwhile fires once when the mode ends, and the ones after it keep their rhythm.
//
// The menu's hold is bounded: a second timer, in the menu-tracking mode only, runs a tick that is
// `menuHoldLimit` overdue, so a menu left open does not stop the polling. An alert holds the ticks
// until it is answered.
class MacTimerScheduler : public TimerScheduler {
  public:
    explicit MacTimerScheduler(std::chrono::milliseconds menuHoldLimit = std::chrono::seconds(30));

    std::unique_ptr<RepeatingTimer> scheduleRepeating(std::chrono::milliseconds interval,
                                                      std::function<void()> tick) override;

  private:
    std::chrono::milliseconds menuHoldLimit;
};

}  // namespace quorvel
