#pragma once

#import <AppKit/AppKit.h>

#include <memory>
#include <vector>

#include "interfaces/menu.h"

namespace quorvel {

class MacMenuRow;

// The status item's menu as an NSMenu: rows in the order added, enabled flags exactly as set.
class MacMenu : public Menu {
  public:
    MacMenu();

    NSMenu* menu() const { return nsMenu; }

    void addRow(std::shared_ptr<MenuRow> row) override;
    void addSeparator() override;
    void setAutoenablesItems(bool autoenables) override;

  private:
    NSMenu* nsMenu;
    std::vector<std::shared_ptr<MacMenuRow>> rows;
};

class MacMenuFactory : public MenuFactory {
  public:
    std::shared_ptr<Menu> makeMenu() override;
    // Any NSMenuItem can carry a check mark: the kind changes nothing here.
    std::shared_ptr<MenuRow> makeRow(const std::string& title, RowKind kind) override;
};

}  // namespace quorvel
