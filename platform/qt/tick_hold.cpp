#include "platform/qt/tick_hold.h"

#include <QMenu>
#include <QMetaObject>

namespace quorvel {

TickHold::TickHold(std::chrono::milliseconds hostHoldLimit) {
    hostHold.setSingleShot(true);
    hostHold.setInterval(hostHoldLimit);
    connect(&hostHold, &QTimer::timeout, this, &TickHold::releaseSoon);
}

TickHold::AlertScope::AlertScope(TickHold& hold) : hold(hold) {
    ++hold.alertDepth;
}

TickHold::AlertScope::~AlertScope() {
    --hold.alertDepth;
    hold.releaseSoon();
}

void TickHold::watchMenu(QMenu* menu) {
    menus.append(menu);
    connect(menu, &QMenu::aboutToHide, this, &TickHold::releaseSoon);
}

void TickHold::holdForHost() {
    hostHold.start();
}

void TickHold::releaseHost() {
    if (hostHold.isActive()) {
        hostHold.stop();
        releaseSoon();
    }
}

bool TickHold::held() const {
    if (alertDepth > 0 || hostHold.isActive()) {
        return true;
    }
    for (const auto& menu : menus) {
        if (menu && menu->isVisible()) {
            return true;
        }
    }
    return false;
}

void TickHold::releaseSoon() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!held()) {
                emit released();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace quorvel
