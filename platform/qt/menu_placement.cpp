#include "platform/qt/menu_placement.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>

namespace quorvel {
namespace {

// Thicker than any panel: a point this close to an edge is in one.
constexpr int panelBand = 64;

}  // namespace

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

QRect hostPointAnchor(QPoint point, const QRect& screen) {
    const int fromTop = point.y() - screen.top();
    const int fromBottom = screen.bottom() - point.y();
    if (fromTop >= 0 && fromTop < panelBand) {
        return {point.x(), screen.top(), 1, 2 * fromTop + 1};
    }
    if (fromBottom >= 0 && fromBottom < panelBand) {
        return {point.x(), point.y() - fromBottom, 1, 2 * fromBottom + 1};
    }
    return {point, QSize(1, 1)};
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
