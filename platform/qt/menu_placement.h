#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QMenu;

namespace quorvel {

// Where a menu of `menuSize` goes beside `anchor` (the tray icon, or the stretch of panel a tray
// host's point stands for) so that it covers neither: below it on the upper half of the screen,
// above it on the lower half, and never over a panel that keeps `available` free of windows. Kept
// on the screen.
QPoint menuPosition(const QRect& anchor, const QSize& menuSize, const QRect& screen,
                    const QRect& available);

// Where a menu goes that a tray host asked for near `hostPoint`. Hosts mean different things by
// it: the pointer, the icon's corner on the panel's edge, or a point relative to their own applet;
// so it is a hint, and the pointer counts when the two are far apart. The menu touches the edge of
// the panel under that point: the strip beyond `available`, else, with no work area reserved, a
// panel taken to be centred on a point near the screen's edge.
QPoint hostMenuPosition(QPoint hostPoint, QPoint pointer, const QSize& menuSize,
                        const QRect& screen, const QRect& available);

// Opens `menu` beside `anchor` on the screen that holds it.
void popUpBeside(QMenu& menu, const QRect& anchor);

// Opens `menu` where a tray host asked for it (see hostMenuPosition).
void popUpForHost(QMenu& menu, QPoint hostPoint, QPoint pointer);

}  // namespace quorvel
