#include "platform/qt/qt_application.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quorvel {

int QtApplication::runningCopies(std::string_view identifier) {
    return lock.runningCopies(identifier);
}

void QtApplication::terminate() {
    // Queued, so that the caller returns first and the loop ends from a clean stack.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace quorvel
