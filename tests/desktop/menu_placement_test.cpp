#include "platform/qt/menu_placement.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(MenuPlacement, TheMenuOpensBesideTheIconAndItsPanelNeverOverThem) {
    const QRect screen(0, 0, 800, 600);
    const QSize menu(200, 300);
    struct Case {
        const char* what;
        QRect anchor;
        QRect available;
        QPoint position;
    };
    const Case cases[] = {
        {"icon in a top panel: below it", {700, 2, 22, 22}, {0, 26, 800, 574}, {600, 26}},
        {"point in a top panel: below the panel", {710, 5, 1, 1}, {0, 26, 800, 574}, {600, 26}},
        {"no panel reserved: below the point", {100, 5, 1, 1}, screen, {100, 6}},
        {"icon in a bottom panel: above it", {40, 578, 22, 22}, {0, 0, 800, 576}, {40, 276}},
        {"point in a bottom panel: above the panel", {45, 590, 1, 1}, {0, 0, 800, 576}, {45, 276}},
        {"near the left edge of a side panel", {-5, 100, 1, 1}, screen, {0, 101}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QPoint position = menuPosition(c.anchor, menu, screen, c.available);
        EXPECT_EQ(position, c.position);
        const QRect placed(position, menu);
        EXPECT_FALSE(placed.intersects(c.anchor));
        EXPECT_TRUE(screen.contains(placed));
    }
}

TEST(MenuPlacement, APointThatAHostGivesNearAnEdgeStandsForThePanelThere) {
    const QRect screen(0, 0, 800, 600);
    EXPECT_EQ(hostPointAnchor({700, 14}, screen), QRect(700, 0, 1, 29));
    EXPECT_EQ(hostPointAnchor({30, 588}, screen), QRect(30, 577, 1, 23));
    EXPECT_EQ(hostPointAnchor({300, 300}, screen), QRect(300, 300, 1, 1));
}

}  // namespace
}  // namespace quorvel
