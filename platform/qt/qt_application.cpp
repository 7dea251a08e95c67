#include "platform/qt/qt_application.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>

namespace quorvel {

int QtApplication::runningCopies(std::string_view identifier) {
    const InstanceLock::Result result = lock.acquire(identifier);
    switch (result.outcome) {
        case InstanceLock::Outcome::acquired:
            return 1;
        case InstanceLock::Outcome::heldElsewhere:
            return 2;
        case InstanceLock::Outcome::unavailable:
            break;
    }
    // Refusing to run because of a folder someone else planted would let them keep us from
    // starting; run, without the guard, and say so.
    std::fprintf(stderr, "quorvel-connect: cannot check for another running copy (%s)\n",
                 result.problem.c_str());
    return 1;
}

void QtApplication::terminate() {
    // Queued, so that the caller returns first and the loop ends from a clean stack.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace quorvel
