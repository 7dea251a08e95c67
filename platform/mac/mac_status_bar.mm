#include "platform/mac/mac_status_bar.h"

#include "platform/mac/mac_menu.h"
#include "platform/mac/ns_text.h"

namespace quorvel {

MacStatusItem::MacStatusItem()
    : statusItem([[NSStatusBar systemStatusBar] statusItemWithLength:NSVariableStatusItemLength]) {}

MacStatusItem::~MacStatusItem() {
    [[NSStatusBar systemStatusBar] removeStatusItem:statusItem];
}

void MacStatusItem::setMenu(std::shared_ptr<Menu> menu) {
    this->menu = std::dynamic_pointer_cast<MacMenu>(menu);
    statusItem.menu = this->menu ? this->menu->menu() : nil;
}

void MacStatusItem::setImage(const std::string& symbolName,
                             const std::string& accessibilityDescription) {
    NSString* description = nsText(accessibilityDescription);
    NSImage* image = [NSImage imageWithSystemSymbolName:nsText(symbolName)
                               accessibilityDescription:description];
    if (image == nil) {
        image = [[NSApp applicationIconImage] copy];
        const CGFloat side = [NSStatusBar systemStatusBar].thickness - 4;
        image.size = NSMakeSize(side, side);
        image.accessibilityDescription = description;
    }
    statusItem.button.image = image;
}

void MacStatusItem::setToolTip(const std::string& toolTip) {
    statusItem.button.toolTip = nsText(toolTip);
}

std::unique_ptr<StatusItem> MacStatusBar::addStatusItem() {
    return std::make_unique<MacStatusItem>();
}

}  // namespace quorvel
