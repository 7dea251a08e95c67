#include "platform/qt/menu_placement.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// What real tray hosts send with Activate, where the pointer was, and their panels, as seen on
// headless sessions: our menu must touch the panel next to the icon, on screen.
TEST(MenuPlacement, OurMenuTouchesThePanelNextToTheIconWhereverTheHostSaysItIs) {
    const QRect screen(0, 0, 1024, 768);
    const QSize menu(253, 206);
    struct Host {
        const char* what;
        QRect available;  // the work area a window manager leaves; the screen when there is none
        QRect panel;
        QRect icon;
        QPoint hostPoint;  // what the host sent with Activate
        QPoint pointer;
    };
    const Host hosts[] = {
        // MATE 1.27 sends a point inside its applet: the pointer counts.
        {"MATE", {0, 25, 1024, 719}, {0, 0, 1024, 25}, {877, 0, 24, 25}, {0, 25}, {888, 12}},
        // Cinnamon 5.6 sends the icon's corner on the panel's inner edge.
        {"Cinnamon",
         {0, 0, 1024, 728},
         {0, 728, 1024, 40},
         {878, 728, 28, 40},
         {878, 728},
         {892, 748}},
        {"LXQt 1.2",
         {0, 0, 1024, 736},
         {0, 736, 1024, 32},
         {864, 741, 20, 20},
         {874, 751},
         {874, 751}},
        // Plasma 5.27 on X11 sends the pointer, here on its icon's centre; headless, no window
        // manager reserves its panel.
        {"Plasma", screen, {0, 724, 1024, 44}, {950, 734, 22, 22}, {961, 745}, {961, 745}},
        {"far", {0, 25, 1024, 743}, {0, 0, 1024, 25}, {0, 0, 24, 25}, {1000, 700}, {10, 12}},
        // The icon's corner on a top panel's inner edge, the pointer moved on below the panel.
        {"near", {0, 25, 1024, 743}, {0, 0, 1024, 25}, {877, 0, 24, 25}, {877, 25}, {900, 70}},
    };
    for (const Host& h : hosts) {
        SCOPED_TRACE(h.what);
        const QRect placed(hostMenuPosition(h.hostPoint, h.pointer, menu, screen, h.available),
                           menu);
        EXPECT_TRUE(screen.contains(placed));
        EXPECT_FALSE(placed.intersects(h.icon));
        EXPECT_TRUE(placed.left() <= h.icon.right() && placed.right() >= h.icon.left())
            << "beside the icon";
        const int gap = h.panel.top() == screen.top() ? placed.top() - h.panel.bottom() - 1
                                                      : h.panel.top() - placed.bottom() - 1;
        // Without a work area the panel's edge is a guess from the pointer in its middle: the
        // menu may cover the panel's edge row, but never leaves a gap.
        EXPECT_TRUE(gap == 0 || (gap == -1 && h.available == screen))
            << gap << " px from the panel";
    }
}

}  // namespace
}  // namespace quorvel
