#include "platform/qt/menu_placement.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <algorithm>
#include <cstdlib>

namespace quorvel {
namespace {

// Thicker than any panel: a point this close to an edge is in one, and a host's point this close
// to the pointer is about the same click.
constexpr int panelBand = 64;

QPoint hostPointOrPointer(QPoint hostPoint, QPoint pointer) {
    const QPoint gap = hostPoint - pointer;
    return std::max(std::abs(gap.x()), std::abs(gap.y())) <= panelBand ? hostPoint : pointer;
}

// The stretch of panel to touch and keep clear at `point`: one pixel wide and the panel's
// thickness. A point on the line between a panel and the work area belongs to the panel, as
// hosts that give the panel's inner edge mean it. With no work area, the point is taken for the
// panel's middle row, rounded down on a panel of even thickness as a click on an icon's centre
// is; of the two thicknesses that leaves, the thinner, so that the menu may cover the panel's
// edge row but never leaves a gap.
QRect panelAt(QPoint point, const QRect& screen, const QRect& available) {
    if (available.top() > screen.top() && point.y() <= available.top()) {
        return {point.x(), screen.top(), 1, available.top() - screen.top()};
    }
    if (available.bottom() < screen.bottom() && point.y() >= available.bottom()) {
        return {point.x(), available.bottom() + 1, 1, screen.bottom() - available.bottom()};
    }
    const int fromTop = point.y() - screen.top();
    const int fromBottom = screen.bottom() - point.y();
    if (fromTop >= 0 && fromTop < panelBand) {
        return {point.x(), screen.top(), 1, 2 * fromTop + 1};
    }
    if (fromBottom >= 0 && fromBottom < panelBand) {
        const int thickness = std::max(1, 2 * fromBottom);
        return {point.x(), screen.bottom() + 1 - thickness, 1, thickness};
    }
    return {point, QSize(1, 1)};
}

QScreen* screenAt(QPoint point) {
    QScreen* screen = QGuiApplication::screenAt(point);
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

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

QPoint hostMenuPosition(QPoint hostPoint, QPoint pointer, const QSize& menuSize,
                        const QRect& screen, const QRect& available) {
    const QPoint point = hostPointOrPointer(hostPoint, pointer);
    return menuPosition(panelAt(point, screen, available), menuSize, screen, available);
}

void popUpBeside(QMenu& menu, const QRect& anchor) {
    const QScreen* screen = screenAt(anchor.center());
    if (screen == nullptr) {
        return;
    }
    menu.ensurePolished();
    menu.popup(
        menuPosition(anchor, menu.sizeHint(), screen->geometry(), screen->availableGeometry()));
}

void popUpForHost(QMenu& menu, QPoint hostPoint, QPoint pointer) {
    const QScreen* screen = screenAt(hostPointOrPointer(hostPoint, pointer));
    if (screen == nullptr) {
        return;
    }
    menu.ensurePolished();
    menu.popup(hostMenuPosition(hostPoint, pointer, menu.sizeHint(), screen->geometry(),
                                screen->availableGeometry()));
}

}  // namespace quorvel
