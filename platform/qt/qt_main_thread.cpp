#include "platform/qt/qt_main_thread.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace quorvel {

void QtMainThread::post(std::function<void()> task) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        return;  // the event loop is gone for good; nothing would ever run the task
    }
    QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}

}  // namespace quorvel
