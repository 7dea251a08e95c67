#include "platform/mac/mac_alert_presenter.h"

#include <algorithm>
#include <cmath>

#include "platform/mac/ns_text.h"

namespace quorvel {
namespace {

// An informative text up to this size shows as NSAlert draws it: it wraps into at most about 15
// lines of the alert's narrow column, some 250 points, which leaves the button on the smallest
// screen macOS 13 drives (800 points high). A longer one (a Node.js stack trace runs to hundreds of
// lines) would push the button off the screen.
constexpr std::size_t plainTextLines = 12;
constexpr std::size_t plainTextCharacters = 600;

bool fitsPlainAlert(const std::string& text) {
    return text.size() <= plainTextCharacters &&
           static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) < plainTextLines;
}

// The whole text, selectable (so it can be copied) but not editable, scrolled to its beginning, at
// most half as high as the visible screen.
NSScrollView* scrollingText(NSString* text) {
    NSScreen* screen = [NSScreen mainScreen];
    const CGFloat height = screen != nil ? std::floor(screen.visibleFrame.size.height / 2) : 360;
    NSScrollView* scroll = [[NSScrollView alloc] initWithFrame:NSMakeRect(0, 0, 480, height)];
    scroll.hasVerticalScroller = YES;
    scroll.borderType = NSBezelBorder;
    const NSSize inside = scroll.contentSize;
    NSTextView* view =
        [[NSTextView alloc] initWithFrame:NSMakeRect(0, 0, inside.width, inside.height)];
    view.editable = NO;
    view.selectable = YES;
    view.verticallyResizable = YES;
    view.horizontallyResizable = NO;
    view.autoresizingMask = NSViewWidthSizable;
    view.textContainer.widthTracksTextView = YES;
    view.font = [NSFont userFixedPitchFontOfSize:[NSFont smallSystemFontSize]];
    view.string = text;
    scroll.documentView = view;
    [view scrollRangeToVisible:NSMakeRange(0, 0)];
    return scroll;
}

// A button has one key equivalent, and the cancel button may be the default one, which answers
// Return: Escape is caught before the alert sees it. Remove the monitor when the alert is done.
id clickOnEscape(NSButton* button) {
    return [NSEvent addLocalMonitorForEventsMatchingMask:NSEventMaskKeyDown
                                                 handler:^NSEvent*(NSEvent* event) {
                                                   if (![event.charactersIgnoringModifiers
                                                           isEqualToString:@"\033"]) {
                                                       return event;
                                                   }
                                                   [button performClick:nil];
                                                   return nil;
                                                 }];
}

}  // namespace

NSAlert* MacAlertPresenter::build(const Alert& alert) {
    NSAlert* nsAlert = [[NSAlert alloc] init];
    nsAlert.messageText = nsText(alert.messageText);
    if (fitsPlainAlert(alert.informativeText)) {
        nsAlert.informativeText = nsText(alert.informativeText);
    } else {
        nsAlert.accessoryView = scrollingText(nsText(alert.informativeText));
    }
    for (const std::string& title : alert.buttons) {
        [nsAlert addButtonWithTitle:nsText(title)];
    }
    // NSAlert would give a button titled "Cancel" Escape instead of Return, even the first.
    [nsAlert layout];
    NSButton* first = nsAlert.buttons.firstObject;
    first.keyEquivalent = @"\r";
    // Above other applications' windows even when the system declines to activate us.
    NSWindow* window = nsAlert.window;
    window.level = NSModalPanelWindowLevel;
    return nsAlert;
}

std::optional<std::size_t> MacAlertPresenter::runModal(const Alert& alert) {
    NSAlert* nsAlert = build(alert);
    NSArray<NSButton*>* buttons = nsAlert.buttons;
    NSButton* escapes = nil;
    if (alert.cancelButton && *alert.cancelButton < buttons.count) {
        escapes = buttons[*alert.cancelButton];
    } else if (!alert.cancelButton && buttons.count == 1) {
        escapes = buttons.firstObject;
    }
    id monitor = escapes != nil ? clickOnEscape(escapes) : nil;
    const NSModalResponse response = [nsAlert runModal];
    if (monitor != nil) {
        [NSEvent removeMonitor:monitor];
    }
    const NSInteger index = response - NSAlertFirstButtonReturn;
    if (index < 0 || static_cast<std::size_t>(index) >= alert.buttons.size()) {
        return std::nullopt;  // the "OK" that NSAlert adds when given no button
    }
    return static_cast<std::size_t>(index);
}

}  // namespace quorvel
