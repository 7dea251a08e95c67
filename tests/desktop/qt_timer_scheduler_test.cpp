#include "platform/qt/qt_timer_scheduler.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMenu>

#include "platform/qt/tick_hold.h"
#include "tests/desktop/qt_test_support.h"

namespace quorvel {
namespace {

using std::chrono::milliseconds;

class QtTimerSchedulerTest : public testing::Test {
  protected:
    TickHold hold;
    QtTimerScheduler scheduler{hold};
    std::vector<qint64> ticks;  // ms since the timer was scheduled
    QElapsedTimer clock;

    std::unique_ptr<RepeatingTimer> schedule(milliseconds interval) {
        clock.start();
        return scheduler.scheduleRepeating(interval, [this] { ticks.push_back(clock.elapsed()); });
    }
};

TEST_F(QtTimerSchedulerTest, FirstTickOneIntervalAfterSchedulingThenRepeats) {
    auto timer = schedule(milliseconds(100));
    ASSERT_TRUE(processEventsUntil([&] { return ticks.size() == 3; }));
    EXPECT_GE(ticks[0], 90);
    EXPECT_GE(ticks[2] - ticks[0], 180);
}

TEST_F(QtTimerSchedulerTest, DestroyingTheTimerStopsTheTicks) {
    auto timer = schedule(milliseconds(50));
    ASSERT_TRUE(processEventsUntil([&] { return ticks.size() == 1; }));
    timer.reset();
    processEventsFor(milliseconds(200));
    EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(QtTimerSchedulerTest, TicksMissedDuringAnAlertCollapseIntoOneWhenItEnds) {
    auto timer = schedule(milliseconds(100));
    {
        const TickHold::AlertScope alert(hold);
        processEventsFor(milliseconds(450));  // four ticks fall due
        EXPECT_TRUE(ticks.empty());
    }
    EXPECT_TRUE(ticks.empty()) << "not inside the call that ended the hold";
    ASSERT_TRUE(processEventsUntil([&] { return ticks.size() == 1; }, milliseconds(50)));
    const qint64 collapsed = ticks[0];
    ASSERT_TRUE(processEventsUntil([&] { return ticks.size() == 2; }));
    EXPECT_GE(ticks[1] - collapsed, 90) << "the next tick a full interval after the collapsed one";
}

TEST_F(QtTimerSchedulerTest, NoExtraTickWhenNothingWasMissed) {
    auto timer = schedule(milliseconds(300));
    { const TickHold::AlertScope alert(hold); }
    processEventsFor(milliseconds(100));
    EXPECT_TRUE(ticks.empty());
}

TEST_F(QtTimerSchedulerTest, NestedAlertsHoldUntilTheOuterOneEnds) {
    auto timer = schedule(milliseconds(50));
    auto outer = std::make_unique<TickHold::AlertScope>(hold);
    {
        const TickHold::AlertScope inner(hold);
        processEventsFor(milliseconds(120));
    }
    processEventsFor(milliseconds(120));
    EXPECT_TRUE(ticks.empty());
    outer.reset();
    EXPECT_TRUE(processEventsUntil([&] { return ticks.size() == 1; }, milliseconds(40)));
}

TEST_F(QtTimerSchedulerTest, AnOpenMenuHoldsTicks) {
    QMenu menu;
    menu.addAction(QStringLiteral("row"));
    hold.watchMenu(&menu);
    auto timer = schedule(milliseconds(100));
    menu.popup(QPoint(0, 0));
    ASSERT_TRUE(processEventsUntil([&] { return menu.isVisible(); }));
    processEventsFor(milliseconds(350));
    EXPECT_TRUE(ticks.empty());
    menu.hide();
    EXPECT_TRUE(processEventsUntil([&] { return ticks.size() == 1; }, milliseconds(50)));
}

TEST_F(QtTimerSchedulerTest, AMenuThatIsNeverShownHoldsNothing) {
    // A StatusNotifier host draws the menu from the exported model: the QMenu itself stays hidden,
    // even when the host announces it and never says it closed it.
    QMenu menu;
    hold.watchMenu(&menu);
    emit menu.aboutToShow();
    auto timer = schedule(milliseconds(50));
    EXPECT_TRUE(processEventsUntil([&] { return ticks.size() == 2; }));
}

}  // namespace
}  // namespace quorvel
