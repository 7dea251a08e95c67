#pragma once

#include <QMenu>
#include <memory>
#include <vector>

#include "interfaces/menu.h"

namespace quorvel {

class QtMenuRow;
class TickHold;

// The tray menu: rows in the order added, tooltips shown, enabled flags exactly as set. Timer
// ticks wait while it is open.
class QtMenu : public Menu {
  public:
    explicit QtMenu(TickHold& hold);

    QMenu& widget() { return menu; }

    void addRow(std::shared_ptr<MenuRow> row) override;
    void addSeparator() override;
    void setAutoenablesItems(bool autoenables) override;

  private:
    std::vector<std::shared_ptr<QtMenuRow>> rows;
    QMenu menu;
};

class QtMenuFactory : public MenuFactory {
  public:
    explicit QtMenuFactory(TickHold& hold);

    std::shared_ptr<Menu> makeMenu() override;
    std::shared_ptr<MenuRow> makeRow(const std::string& title, RowKind kind) override;

  private:
    TickHold& hold;
};

}  // namespace quorvel
