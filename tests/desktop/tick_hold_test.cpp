#include "platform/qt/tick_hold.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <time.h>

#include <QCoreApplication>
#include <QMenu>
#include <atomic>
#include <functional>
#include <optional>

#include "platform/qt/qt_timer_scheduler.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;

// How far this program's monotonic clock, by which Qt's timers run, is ahead of the system's.
std::atomic<int> secondsAhead{0};

// Lets `time` pass for Qt's timers at once; then runs those that fell due, and what they posted.
void letPass(std::chrono::seconds time) {
    secondsAhead += static_cast<int>(time.count());
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

// Each menu, ours or a host's, holds the ticks until it closes, and at most half a minute when its
// closing is never reported; the next tick comes once the hold ends. An alert holds them until it
// closes, however long that takes.
TEST(TickHold, AMenuHoldsTheTicksUntilItClosesOrHalfAMinutePasses) {
    TickHold hold;
    QMenu menu;
    hold.watchMenu(&menu);
    int releases = 0;
    QObject::connect(&hold, &TickHold::released, [&] { ++releases; });
    const struct {
        const char* what;
        std::function<void()> opens;
        std::function<void()> closes;
    } menus[] = {
        {"a host's", [&] { hold.holdForHost(); }, [&] { hold.releaseHost(); }},
        {"ours", [&] { emit menu.aboutToShow(); }, [&] { emit menu.aboutToHide(); }},
    };
    for (const auto& m : menus) {
        SCOPED_TRACE(m.what);
        releases = 0;
        m.opens();
        EXPECT_TRUE(hold.held());
        m.closes();
        m.closes();  // a second "closed" releases nothing more
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(releases, 1);
        m.opens();  // and never says it closed
        letPass(28s);
        EXPECT_TRUE(hold.held());
        letPass(4s);
        EXPECT_FALSE(hold.held());
        EXPECT_EQ(releases, 2);
    }
    const TickHold::AlertScope alert(hold);
    hold.holdForHost();
    hold.releaseHost();
    letPass(60s);
    EXPECT_TRUE(hold.held()) << "an alert still holds the ticks";
}

// The ticks that fell due while an alert ran come as one, once the alert has closed and the code
// after it has run; the interval then counts afresh from that tick, so a regular tick already
// overdue does not follow it at once. Closing a later alert brings none.
TEST(TickHold, AnAlertsEndDeliversTheTicksItHeldOnceAndOnlyOnce) {
    TickHold hold;
    QtTimerScheduler timers(hold);
    int ticks = 0;
    std::optional<TickHold::AlertScope> alert(std::in_place, hold);
    const auto timer = timers.scheduleRepeating(5s, [&] { ++ticks; });
    letPass(12s);  // two ticks fall due
    alert.reset();
    EXPECT_EQ(ticks, 0) << "delivered while held, or inside the call that closed the alert";
    secondsAhead += 5;  // the next regular tick is due, not yet handled
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
    { const TickHold::AlertScope later(hold); }
    letPass(0s);
    EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace quorvel

// Stands in for the C library's clock_gettime() in this test program: the monotonic clock runs
// `secondsAhead` ahead (GoogleTest's own timings count the seconds let pass too).
extern "C" int clock_gettime(clockid_t clock, timespec* time) noexcept {
    using ClockGettime = int (*)(clockid_t, timespec*);
    static const auto next = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = next(clock, time);
    if (result == 0 && clock == CLOCK_MONOTONIC) {
        time->tv_sec += quorvel::secondsAhead;
    }
    return result;
}
