// The macOS side of QtApplication: activation goes through AppKit, because an accessory program
// is not made the active application by raising one of its windows, and its alert would open
// behind the frontmost program's windows.
#import <AppKit/AppKit.h>

#include "platform/qt/qt_application.h"

namespace quorvel {

void QtApplication::becomeAccessory() {
    // LSUIElement in Info.plist already keeps the Dock icon away from the first instant; this
    // keeps the policy right for a program started outside its bundle too.
    [NSApp setActivationPolicy:NSApplicationActivationPolicyAccessory];
}

void QtApplication::bringToFront() {
    [NSApp activateIgnoringOtherApps:YES];
}

}  // namespace quorvel
