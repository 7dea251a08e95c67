#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QMenu;

namespace quorvel {

// Where a menu of `menuSize` goes beside `anchor` (the tray icon, or the point a tray host gave)
// so that it covers neither: below it on the upper half of the screen, above it on the lower
// half, and never over a panel that keeps `available` free of windows. Kept on the screen.
QPoint menuPosition(const QRect& anchor, const QSize& menuSize, const QRect& screen,
                    const QRect& available);

// What to keep clear around `point`, a click that a tray host reports: near the top or bottom edge
// of `screen` the point is taken for the middle of a panel that reaches that edge, since without
// a window manager's work area nothing else tells where the panel ends.
QRect hostPointAnchor(QPoint point, const QRect& screen);

// Opens `menu` beside `anchor` on the screen that holds it.
void popUpBeside(QMenu& menu, const QRect& anchor);

}  // namespace quorvel
