#include "platform/mac/mac_menu.h"

#include <cassert>

#include "platform/mac/mac_menu_row.h"

namespace quorvel {

MacMenu::MacMenu() : nsMenu([[NSMenu alloc] init]) {}

void MacMenu::addRow(std::shared_ptr<MenuRow> row) {
    auto macRow = std::dynamic_pointer_cast<MacMenuRow>(row);
    assert(macRow && "rows come from MacMenuFactory");
    if (!macRow) {
        return;
    }
    [nsMenu addItem:macRow->item()];
    rows.push_back(std::move(macRow));
}

void MacMenu::addSeparator() {
    [nsMenu addItem:[NSMenuItem separatorItem]];
}

void MacMenu::setAutoenablesItems(bool autoenables) {
    nsMenu.autoenablesItems = autoenables;
}

std::shared_ptr<Menu> MacMenuFactory::makeMenu() {
    return std::make_shared<MacMenu>();
}

std::shared_ptr<MenuRow> MacMenuFactory::makeRow(const std::string& title, RowKind /*kind*/) {
    return std::make_shared<MacMenuRow>(title);
}

}  // namespace quorvel
