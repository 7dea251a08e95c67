#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <functional>

namespace quorvel {

// Runs the event loop until `done` holds or `limit` has passed; true when it held.
inline bool processEventsUntil(const std::function<bool()>& done,
                               std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the event loop for `duration`.
inline void processEventsFor(std::chrono::milliseconds duration) {
    processEventsUntil([] { return false; }, duration);
}

}  // namespace quorvel
