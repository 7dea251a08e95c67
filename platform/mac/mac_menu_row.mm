#include "platform/mac/mac_menu_row.h"

#include "platform/mac/ns_text.h"

// Carries a row's action from AppKit's target–action call to the program.
@interface QuorvelRowTarget : NSObject {
  @public
    std::function<void()> action;
}
- (void)choose:(id)sender;
@end

@implementation QuorvelRowTarget
- (void)choose:(id)sender {
    if (action) {
        action();
    }
}
@end

namespace quorvel {

MacMenuRow::MacMenuRow(const std::string& title)
    : menuItem([[NSMenuItem alloc] initWithTitle:nsText(title) action:nil keyEquivalent:@""]),
      target([[QuorvelRowTarget alloc] init]) {
    menuItem.target = target;
}

void MacMenuRow::setTitle(const std::string& title) {
    menuItem.title = nsText(title);
}

void MacMenuRow::setEnabled(bool enabled) {
    menuItem.enabled = enabled;
}

void MacMenuRow::setChecked(bool checked) {
    menuItem.state = checked ? NSControlStateValueOn : NSControlStateValueOff;
}

void MacMenuRow::setToolTip(const std::optional<std::string>& toolTip) {
    menuItem.toolTip = toolTip ? nsText(*toolTip) : nil;
}

void MacMenuRow::setAction(std::function<void()> action) {
    // A row without an action is drawn as one that does nothing; with one, AppKit calls the target.
    menuItem.action = action ? @selector(choose:) : nil;
    target->action = std::move(action);
}

}  // namespace quorvel
