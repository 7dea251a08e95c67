#include "platform/qt/tick_hold.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <optional>

#include "platform/qt/qt_timer_scheduler.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;

// The ticks that fell due while an alert ran come as one, once the alert has closed and the code
// after it has run; closing a later alert brings none. The timer counts its interval afresh from
// the missed tick, so no regular tick can come between the checks unless the machine stalls.
TEST(TickHold, AnAlertsEndDeliversTheTicksItHeldOnceAndOnlyOnce) {
    constexpr auto interval = 300ms;
    TickHold hold;
    QtTimerScheduler timers(hold);
    int ticks = 0;
    std::optional<TickHold::AlertScope> alert(std::in_place, hold);
    const auto timer = timers.scheduleRepeating(interval, [&ticks] { ++ticks; });
    QEventLoop loop;
    QTimer::singleShot(interval * 5 / 2, &loop, &QEventLoop::quit);
    loop.exec();  // two ticks fall due
    EXPECT_EQ(ticks, 0);

    QElapsedTimer sinceRelease;
    sinceRelease.start();
    alert.reset();
    EXPECT_EQ(ticks, 0) << "delivered inside the call that closed the alert";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
    { const TickHold::AlertScope later(hold); }
    QCoreApplication::processEvents();
    if (sinceRelease.elapsed() > interval.count() * 3 / 4) {
        GTEST_SKIP() << "the machine stalled; a regular tick may have come";
    }
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace quorvel
