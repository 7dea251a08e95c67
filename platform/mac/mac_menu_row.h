#pragma once

#import <AppKit/AppKit.h>

#include "interfaces/menu.h"

@class QuorvelRowTarget;

namespace quorvel {

// A menu row as an NSMenuItem. AppKit shows titles and tooltips as they are: no markup, no
// shortcut markers. Choosing a row leaves its check mark as the program last set it.
class MacMenuRow : public MenuRow {
  public:
    explicit MacMenuRow(const std::string& title);

    NSMenuItem* item() const { return menuItem; }

    void setTitle(const std::string& title) override;
    void setEnabled(bool enabled) override;
    void setChecked(bool checked) override;
    void setToolTip(const std::optional<std::string>& toolTip) override;
    void setAction(std::function<void()> action) override;

  private:
    NSMenuItem* menuItem;
    // The item's target is a weak reference: the row keeps it alive.
    QuorvelRowTarget* target;
};

}  // namespace quorvel
