// The AppKit front end on a real macOS session: the status item and its menu as the platform
// interfaces build them, read back from AppKit; the menu opened by clicking the button; the ticks
// it holds while it tracks.
#import <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include "platform/mac/mac_alert_presenter.h"
#include "platform/mac/mac_menu.h"
#include "platform/mac/mac_status_bar.h"
#include "platform/mac/mac_timer_scheduler.h"

namespace quorvel {
namespace {

using namespace std::chrono_literals;

struct Row {
    const char* title;
    bool enabled;
    bool checked;
    const char* toolTip;  // null: none
};

void runDefaultMode(NSTimeInterval seconds, const std::function<bool()>& done) {
    NSDate* until = [NSDate dateWithTimeIntervalSinceNow:seconds];
    while (!done() && [until timeIntervalSinceNow] > 0) {
        [[NSRunLoop currentRunLoop] runMode:NSDefaultRunLoopMode
                                 beforeDate:[NSDate dateWithTimeIntervalSinceNow:0.01]];
    }
}

TEST(MenuBar, TheMenuReadsBackAsBuiltOpensOnAClickAndHoldsTicksBoundedly) {
    [NSApplication sharedApplication];
    [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
    [NSApp finishLaunching];  // as -run does before its first event
    const Row rows[] = {
        {"QUORVEL Connect · Needs attention", false, false, "Error: <b>&amp;</b> at line 1"},
        {"Start at Sign-In", true, true, nullptr},
        {"Stop QUORVEL Connect…", false, false, nullptr},
        {"Open Logs & more_", true, false, "plain"},
    };
    MacMenuFactory factory;
    const auto menu = factory.makeMenu();
    int chosen = 0;
    for (const Row& row : rows) {
        const auto made = factory.makeRow(row.title, RowKind::checkMark);
        made->setEnabled(row.enabled);
        made->setChecked(row.checked);
        made->setToolTip(row.toolTip ? std::optional<std::string>(row.toolTip) : std::nullopt);
        made->setAction([&chosen] { ++chosen; });
        menu->addRow(made);
        menu->addSeparator();
    }
    menu->setAutoenablesItems(false);
    MacStatusBar bar;
    const auto item = bar.addStatusItem();
    item->button().setImage("waveform.circle", "QUORVEL Connect");
    item->button().setToolTip("QUORVEL Connect");
    item->setMenu(menu);

    NSStatusItem* statusItem = static_cast<MacStatusItem&>(*item).item();
    NSMenu* nsMenu = statusItem.menu;
    ASSERT_NE(nsMenu, nil);
    EXPECT_FALSE(nsMenu.autoenablesItems);
    ASSERT_EQ(nsMenu.numberOfItems, 2 * static_cast<NSInteger>(std::size(rows)));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        NSMenuItem* shown = [nsMenu itemAtIndex:static_cast<NSInteger>(2 * i)];
        SCOPED_TRACE(rows[i].title);
        EXPECT_STREQ(shown.title.UTF8String, rows[i].title);
        EXPECT_EQ([shown isEnabled], rows[i].enabled);
        EXPECT_EQ(shown.state, rows[i].checked ? NSControlStateValueOn : NSControlStateValueOff);
        EXPECT_STREQ(shown.toolTip.UTF8String, rows[i].toolTip);
        EXPECT_TRUE([[nsMenu itemAtIndex:static_cast<NSInteger>(2 * i + 1)] isSeparatorItem]);
    }
    [nsMenu performActionForItemAtIndex:2 * 3];
    EXPECT_EQ(chosen, 1) << "an enabled row's action";
    EXPECT_TRUE(
        [statusItem.button.image.accessibilityDescription isEqualToString:@"QUORVEL Connect"]);
    EXPECT_STREQ(statusItem.button.toolTip.UTF8String, "QUORVEL Connect");

    // Two pollers, one with the usual 30 s bound on the menu's hold and one with a short bound.
    MacTimerScheduler usual;
    MacTimerScheduler bounded(600ms);
    int ticks = 0;
    int boundedTicks = 0;
    const auto timer = usual.scheduleRepeating(500ms, [&ticks] { ++ticks; });
    const auto boundedTimer = bounded.scheduleRepeating(200ms, [&boundedTicks] { ++boundedTicks; });
    __block int ticksWhileOpen = -1;
    __block int boundedWhileOpen = -1;
    __block bool opened = false;
    id observer =
        [[NSNotificationCenter defaultCenter] addObserverForName:NSMenuDidBeginTrackingNotification
                                                          object:nsMenu
                                                           queue:nil
                                                      usingBlock:^(NSNotification*) {
                                                        opened = true;
                                                      }];
    int* ticksSeen = &ticks;
    int* boundedSeen = &boundedTicks;
    NSTimer* closer = [NSTimer timerWithTimeInterval:1.6
                                             repeats:NO
                                               block:^(NSTimer*) {
                                                 ticksWhileOpen = *ticksSeen;
                                                 boundedWhileOpen = *boundedSeen;
                                                 [nsMenu cancelTracking];
                                               }];
    [[NSRunLoop currentRunLoop] addTimer:closer forMode:NSEventTrackingRunLoopMode];
    [statusItem.button performClick:nil];  // returns once the menu has closed
    [[NSNotificationCenter defaultCenter] removeObserver:observer];
    EXPECT_TRUE(opened) << "the click did not open the menu";
    EXPECT_EQ(ticksWhileOpen, 0) << "a tick ran while the menu was open";
    EXPECT_GE(boundedWhileOpen, 1) << "a menu held open past the bound still held the poll";

    // The tick missed while the menu was open comes at once, well before the next regular one.
    runDefaultMode(0.2, [&ticks] { return ticks > 0; });
    EXPECT_EQ(ticks, 1);
}

// A 400-line stack trace scrolls in a view at most half the screen high, so that the alert and its
// button fit the screen; the stop confirmation is a plain alert whose first button answers Return.
TEST(MenuBar, AlertsFitTheScreenWhateverTheErrorsLength) {
    [NSApplication sharedApplication];
    std::string trace = "Error: listen EADDRINUSE: address already in use :::8080";
    for (int line = 0; line < 400; ++line) {
        trace += "\n    at Server.setupListenHandle (node:net:1817:16)";
    }
    NSAlert* failure =
        MacAlertPresenter::build(Alert{"QUORVEL Connect needs attention", trace, {}, {}});
    const CGFloat screenHeight = NSHeight([NSScreen mainScreen].visibleFrame);
    EXPECT_EQ(failure.informativeText.length, 0u);
    ASSERT_TRUE([failure.accessoryView isKindOfClass:[NSScrollView class]]);
    EXPECT_LE(NSHeight(failure.accessoryView.frame), screenHeight / 2);
    NSWindow* window = failure.window;
    EXPECT_LE(NSHeight(window.frame), screenHeight);

    NSAlert* confirmation = MacAlertPresenter::build(
        Alert{"Stop QUORVEL Connect?", "2 listeners are connected.", {"Cancel", "Stop"}, 0});
    EXPECT_EQ(confirmation.accessoryView, nil);
    EXPECT_STREQ(confirmation.informativeText.UTF8String, "2 listeners are connected.");
    NSButton* first = confirmation.buttons.firstObject;
    EXPECT_STREQ(first.keyEquivalent.UTF8String, "\r");
}

}  // namespace
}  // namespace quorvel
