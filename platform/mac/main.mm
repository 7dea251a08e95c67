// The program's entry: the shared NSApplication as a menu-bar accessory, the platform objects, the
// control queue and the one AppDelegate, then the run loop. There is no main menu: the menu's Quit
// row is the way out.
#import <AppKit/AppKit.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "control/script_control_queue.h"
#include "platform/mac/mac_platform.h"

// Hands AppKit's launch to the controller, and ends the process at termination.
@interface QuorvelApplicationDelegate : NSObject <NSApplicationDelegate> {
    std::shared_ptr<quorvel::AppDelegate> delegate;
}
- (instancetype)initWithDelegate:(std::shared_ptr<quorvel::AppDelegate>)delegate;
@end

@implementation QuorvelApplicationDelegate
- (instancetype)initWithDelegate:(std::shared_ptr<quorvel::AppDelegate>)appDelegate {
    if ((self = [super init])) {
        delegate = std::move(appDelegate);
    }
    return self;
}

- (void)applicationDidFinishLaunching:(NSNotification*)notification {
    delegate->applicationDidFinishLaunching();
}

// Nothing of the controller runs at termination. Tearing it down would wait for a control command
// still in flight (up to its time limit); the system releases everything at exit, and the
// command's own child, if any, finishes on its own.
- (void)applicationWillTerminate:(NSNotification*)notification {
    std::fflush(nullptr);
    ::_exit(0);
}
@end

int main(int argc, char* argv[]) {
    @autoreleasepool {
        const std::vector<std::string> arguments(argv, argv + argc);
        NSApplication* application = [NSApplication sharedApplication];
        // They live until the process ends; NSApplication holds its delegate weakly.
        static quorvel::MacPlatform platform;
        static QuorvelApplicationDelegate* applicationDelegate = [[QuorvelApplicationDelegate alloc]
            initWithDelegate:quorvel::AppDelegate::create(
                                 platform.platform(),
                                 std::make_unique<quorvel::ScriptControlQueue>(
                                     platform.mainThread()),
                                 arguments)];
        application.delegate = applicationDelegate;
        [application run];
    }
    return 0;
}
