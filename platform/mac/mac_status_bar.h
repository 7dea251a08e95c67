#pragma once

#import <AppKit/AppKit.h>

#include "interfaces/status_item.h"

namespace quorvel {

class MacMenu;

// An item of the system menu bar. AppKit opens its menu on a click with either button.
class MacStatusItem : public StatusItem, private StatusButton {
  public:
    MacStatusItem();
    ~MacStatusItem() override;
    MacStatusItem(const MacStatusItem&) = delete;
    MacStatusItem& operator=(const MacStatusItem&) = delete;

    NSStatusItem* item() const { return statusItem; }

    StatusButton& button() override { return *this; }
    void setMenu(std::shared_ptr<Menu> menu) override;

  private:
    // The system symbol when this macOS has it (it follows light and dark menu bars by itself),
    // else the bundle's own icon, so that the item is never invisible.
    void setImage(const std::string& symbolName,
                  const std::string& accessibilityDescription) override;
    void setToolTip(const std::string& toolTip) override;

    NSStatusItem* statusItem;
    std::shared_ptr<MacMenu> menu;
};

class MacStatusBar : public StatusBar {
  public:
    std::unique_ptr<StatusItem> addStatusItem() override;
};

}  // namespace quorvel
