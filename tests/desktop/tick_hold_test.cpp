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

// The ticks that fell due while an alert ran come as one, once the alert has closed and the code
// after it has run; closing a later alert brings none. The timer counts its interval afresh from
// the missed tick, so no regular tick can come between the checks unless the machine stalls.
TEST(TickHold, AnAlertsEndDeliversTheTicksItHeldOnceAndOnlyOnce) {
    TickHold hold;
    QtTimerScheduler timers(hold);
    int ticks = 0;
    std::optional<TickHold::AlertScope> alert(std::in_place, hold);
    const auto timer = timers.scheduleRepeating(std::chrono::milliseconds(300), [&] { ++ticks; });
    QEventLoop loop;
    QTimer::singleShot(750, &loop, &QEventLoop::quit);
    loop.exec();  // two ticks fall due
    QElapsedTimer sinceRelease;
    sinceRelease.start();
    alert.reset();
    EXPECT_EQ(ticks, 0) << "delivered while held, or inside the call that closed the alert";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
    { const TickHold::AlertScope later(hold); }
    QCoreApplication::processEvents();
    if (sinceRelease.elapsed() > 200) {
        GTEST_SKIP() << "the machine stalled; a regular tick may have come";
    }
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace quorvel
