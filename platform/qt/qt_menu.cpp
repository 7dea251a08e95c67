#include "platform/qt/qt_menu.h"

#include <cassert>

#include "platform/qt/qt_menu_row.h"
#include "platform/qt/tick_hold.h"

namespace quorvel {

QtMenu::QtMenu(TickHold& hold) {
    menu.setToolTipsVisible(true);
    hold.watchMenu(&menu);
}

void QtMenu::addRow(std::shared_ptr<MenuRow> row) {
    auto qtRow = std::dynamic_pointer_cast<QtMenuRow>(row);
    assert(qtRow && "rows come from QtMenuFactory");
    if (!qtRow) {
        return;
    }
    menu.addAction(&qtRow->action());
    rows.push_back(std::move(qtRow));
}

void QtMenu::addSeparator() {
    menu.addSeparator();
}

void QtMenu::setAutoenablesItems(bool /*autoenables*/) {
    // Nothing to switch: a QMenu never changes an action's enabled flag by itself.
}

QtMenuFactory::QtMenuFactory(TickHold& hold) : hold(hold) {}

std::shared_ptr<Menu> QtMenuFactory::makeMenu() {
    return std::make_shared<QtMenu>(hold);
}

std::shared_ptr<MenuRow> QtMenuFactory::makeRow(const std::string& title, RowKind kind) {
    return std::make_shared<QtMenuRow>(title, kind);
}

}  // namespace quorvel
