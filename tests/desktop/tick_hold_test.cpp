#include "platform/qt/tick_hold.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <optional>
#include <thread>

#include "platform/qt/qt_timer_scheduler.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;

TEST(TickHold, AHostMenuHoldsTheTicksUntilItClosesOrTheLimitRunsOut) {
    TickHold hold(100ms);
    int releases = 0;
    QEventLoop loop;
    QObject::connect(&hold, &TickHold::released, [&] {
        ++releases;
        loop.quit();
    });
    hold.holdForHost();
    EXPECT_TRUE(hold.held());
    hold.releaseHost();
    hold.releaseHost();  // a second "closed" releases nothing more
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(releases, 1);
    EXPECT_FALSE(hold.held());

    hold.holdForHost();                                // and never says it closed the menu
    QTimer::singleShot(2s, &loop, &QEventLoop::quit);  // rather than hang
    loop.exec();
    EXPECT_EQ(releases, 2);
    EXPECT_FALSE(hold.held());
    const TickHold::AlertScope alert(hold);
    hold.holdForHost();
    hold.releaseHost();
    EXPECT_TRUE(hold.held()) << "an alert still holds the ticks";
}

// The ticks that fell due while an alert ran come as one, once the alert has closed and the code
// after it has run; the interval then counts afresh from that tick, so a regular tick already
// overdue does not follow it at once. Closing a later alert brings none. No regular tick can come
// between the checks unless the machine stalls.
TEST(TickHold, AnAlertsEndDeliversTheTicksItHeldOnceAndOnlyOnce) {
    TickHold hold;
    QtTimerScheduler timers(hold);
    int ticks = 0;
    std::optional<TickHold::AlertScope> alert(std::in_place, hold);
    const auto timer = timers.scheduleRepeating(300ms, [&] { ++ticks; });
    QEventLoop loop;
    QTimer::singleShot(750, &loop, &QEventLoop::quit);
    loop.exec();  // two ticks fall due
    alert.reset();
    EXPECT_EQ(ticks, 0) << "delivered while held, or inside the call that closed the alert";
    std::this_thread::sleep_for(300ms);  // the next regular tick is due, not yet handled
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
    QElapsedTimer sinceRelease;
    sinceRelease.start();
    QCoreApplication::processEvents();
    { const TickHold::AlertScope later(hold); }
    QCoreApplication::processEvents();
    if (sinceRelease.elapsed() > 200) {
        GTEST_SKIP() << "the machine stalled; a regular tick may have come";
    }
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace quorvel
