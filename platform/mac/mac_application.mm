#include "platform/mac/mac_application.h"

#import <AppKit/AppKit.h>

namespace quorvel {

int MacApplication::runningCopies(std::string_view identifier) {
    return lock.runningCopies(identifier);
}

void MacApplication::becomeAccessory() {
    // LSUIElement keeps the Dock icon away from the first instant; this keeps the policy right for
    // a program started outside its bundle too.
    [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
}

void MacApplication::bringToFront() {
    // From macOS 14 the old call is only a request that the system may refuse; `activate` is the
    // one it honours for an app the person just clicked.
    if (@available(macOS 14.0, *)) {
        [NSApp activate];
    } else {
        [NSApp activateIgnoringOtherApps:YES];
    }
}

void MacApplication::terminate() {
    // Later, so that the caller returns first; the application delegate then ends the process.
    dispatch_async(dispatch_get_main_queue(), ^{
      [NSApp terminate:nil];
    });
}

}  // namespace quorvel
