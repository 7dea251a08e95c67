#include "platform/qt/qt_timer_scheduler.h"

#include <QTimer>

#include "platform/qt/tick_hold.h"

namespace quorvel {
namespace {

class QtRepeatingTimer : public RepeatingTimer {
  public:
    QtRepeatingTimer(TickHold& hold, std::chrono::milliseconds interval, std::function<void()> tick)
        : hold(hold), tick(std::move(tick)) {
        timer.setInterval(interval);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this] { onTimeout(); });
        QObject::connect(&hold, &TickHold::released, &timer, [this] { onReleased(); });
        timer.start();
    }

  private:
    void onTimeout() {
        if (hold.held()) {
            missed = true;
            return;
        }
        tick();
    }

    void onReleased() {
        if (!missed) {
            return;
        }
        missed = false;
        timer.start();  // the next tick one interval after this one
        tick();
    }

    TickHold& hold;
    std::function<void()> tick;
    bool missed = false;
    // Last: its connections refer to the members above and end with it.
    QTimer timer;
};

}  // namespace

QtTimerScheduler::QtTimerScheduler(TickHold& hold) : hold(hold) {}

std::unique_ptr<RepeatingTimer> QtTimerScheduler::scheduleRepeating(
    std::chrono::milliseconds interval, std::function<void()> tick) {
    return std::make_unique<QtRepeatingTimer>(hold, interval, std::move(tick));
}

}  // namespace quorvel
