#include "platform/qt/tick_hold.h"

#include <QMenu>
#include <QMetaObject>

namespace quorvel {

TickHold::TickHold() {
    for (QTimer* limit : {&hostHold, &menuHold}) {
        limit->setSingleShot(true);
        limit->setInterval(menuHoldLimit);
    }
    connect(&hostHold, &QTimer::timeout, this, &TickHold::releaseSoon);
    connect(&menuHold, &QTimer::timeout, this, [this] {
        openMenus.clear();
        releaseSoon();
    });
}

TickHold::AlertScope::AlertScope(TickHold& hold) : hold(hold) {
    ++hold.alertDepth;
}

TickHold::AlertScope::~AlertScope() {
    --hold.alertDepth;
    hold.releaseSoon();
}

void TickHold::watchMenu(QMenu* menu) {
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        if (!openMenus.contains(menu)) {
            openMenus.append(menu);
        }
        menuHold.start();
    });
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        if (openMenus.removeAll(menu) > 0) {
            releaseSoon();
        }
    });
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
    for (const auto& menu : openMenus) {
        if (menu) {
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
