#include "platform/qt/tick_hold.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace quorvel {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until `done` or the time is up; says whether `done` came true.
template <typename Predicate>
bool runUntil(Predicate done, std::chrono::milliseconds limit = 2s) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limit.count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

TEST(TickHold, AHostMenuHoldsTheTicksUntilItClosesOrTheLimitRunsOut) {
    TickHold hold(100ms);
    int releases = 0;
    QObject::connect(&hold, &TickHold::released, [&releases] { ++releases; });

    hold.holdForHost();
    EXPECT_TRUE(hold.held());
    hold.releaseHost();
    EXPECT_TRUE(runUntil([&] { return releases == 1; }));
    EXPECT_FALSE(hold.held());
    hold.releaseHost();  // a second "closed" releases nothing more

    hold.holdForHost();  // and never says it closed the menu
    EXPECT_TRUE(runUntil([&] { return releases == 2; }));
    EXPECT_FALSE(hold.held());
    const TickHold::AlertScope alert(hold);
    hold.holdForHost();
    hold.releaseHost();
    EXPECT_TRUE(hold.held()) << "an alert still holds the ticks";
}

}  // namespace
}  // namespace quorvel
