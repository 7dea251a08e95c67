// The macOS 13 API that platform/mac calls and GNUstep's headers lack, declared as Apple's SDK
// declares it (availability included, so that a call made without its @available check fails
// as it would on a Mac). Force-included into every Objective-C++ file of the cross check, after
// GNUstep's AppKit. Add a declaration only from Apple's documentation, never to quiet an error.
#import <AppKit/AppKit.h>

#define QUORVEL_MACOS(version) __attribute__((availability(macos, introduced = version)))

@interface NSURL (QuorvelMacOS13)
@property(readonly) const char* fileSystemRepresentation __attribute__((objc_returns_inner_pointer))
QUORVEL_MACOS(10.9);
@end

@interface NSApplication (QuorvelMacOS13)
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy QUORVEL_MACOS(10.6);
- (void)activate QUORVEL_MACOS(14.0);
@end

@interface NSStatusItem (QuorvelMacOS13)
@property(readonly, strong) NSStatusBarButton* button QUORVEL_MACOS(10.10);
@end

@interface NSImage (QuorvelMacOS13)
+ (instancetype)imageWithSystemSymbolName:(NSString*)name
                 accessibilityDescription:(NSString*)description QUORVEL_MACOS(11.0);
@property(copy) NSString* accessibilityDescription QUORVEL_MACOS(10.10);
@end

@interface NSAlert (QuorvelMacOS13)
@property(strong) NSView* accessoryView QUORVEL_MACOS(10.5);
- (void)layout QUORVEL_MACOS(10.5);
@end

@interface NSMenu (QuorvelMacOS13)
- (void)cancelTracking QUORVEL_MACOS(10.5);
@end

// NSEventMaskKeyDown is 1 << NSEventTypeKeyDown, and NSEventTypeKeyDown is 10.
enum : NSEventMask { NSEventMaskKeyDown = 1ULL << 10 };

@interface NSEvent (QuorvelMacOS13)
+ (id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask
                                   handler:(NSEvent* (^)(NSEvent* event))block QUORVEL_MACOS(10.6);
+ (void)removeMonitor:(id)eventMonitor QUORVEL_MACOS(10.6);
@end
