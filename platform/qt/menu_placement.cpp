#include "platform/qt/menu_placement.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>

namespace quorvel {

QPoint menuPosition(const QRect& anchor, const QSize& menuSize, const QRect& screen,
                    const QRect& available) {
    const bool upperHalf = anchor.center().y() < screen.center().y();
    int y = upperHalf ? std::max(anchor.bottom() + 1, available.top())
                      : std::min(anchor.top(), available.bottom() + 1) - menuSize.height();
    y = std::clamp(y, screen.top(),
                   std::max(screen.top(), screen.bottom() + 1 - menuSize.height()));
    const int x = std::clamp(anchor.left(), screen.left(),
                             std::max(screen.left(), screen.right() + 1 - menuSize.width()));
    return {x, y};
}

void popUpBeside(QMenu& menu, const QRect& anchor) {
    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    menu.ensurePolished();
    menu.popup(
        menuPosition(anchor, menu.sizeHint(), screen->geometry(), screen->availableGeometry()));
}

}  // namespace quorvel
