#include "platform/mac/mac_timer_scheduler.h"

#import <AppKit/AppKit.h>

namespace quorvel {
namespace {

double seconds(std::chrono::milliseconds duration) {
    return std::chrono::duration<double>(duration).count();
}

class MacRepeatingTimer : public RepeatingTimer {
  public:
    MacRepeatingTimer(std::chrono::milliseconds interval, std::chrono::milliseconds menuHoldLimit,
                      std::function<void()> tick) {
        const double every = seconds(interval);
        const double limit = seconds(menuHoldLimit);
        ticks = [NSTimer timerWithTimeInterval:every
                                       repeats:YES
                                         block:^(NSTimer*) {
                                           tick();
                                         }];
        __weak NSTimer* held = ticks;
        menuGuard = [NSTimer timerWithTimeInterval:every
                                           repeats:YES
                                             block:^(NSTimer*) {
                                               NSTimer* due = held;
                                               if (due.fireDate.timeIntervalSinceNow > -limit) {
                                                   return;
                                               }
                                               // The regular tick counts afresh from this one.
                                               due.fireDate =
                                                   [NSDate dateWithTimeIntervalSinceNow:every];
                                               tick();
                                             }];
        NSRunLoop* loop = [NSRunLoop mainRunLoop];
        [loop addTimer:ticks forMode:NSDefaultRunLoopMode];
        [loop addTimer:menuGuard forMode:NSEventTrackingRunLoopMode];
    }

    ~MacRepeatingTimer() override {
        [ticks invalidate];
        [menuGuard invalidate];
    }

  private:
    NSTimer* ticks;
    NSTimer* menuGuard;
};

}  // namespace

MacTimerScheduler::MacTimerScheduler(std::chrono::milliseconds menuHoldLimit)
    : menuHoldLimit(menuHoldLimit) {}

std::unique_ptr<RepeatingTimer> MacTimerScheduler::scheduleRepeating(
    std::chrono::milliseconds interval, std::function<void()> tick) {
    return std::make_unique<MacRepeatingTimer>(interval, menuHoldLimit, std::move(tick));
}

}  // namespace quorvel
