#include <string>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "app/weak_call.h"

namespace quorvel {

// The command rows, top to bottom, below the headline, the detail row and a separator. A new row
// is one entry here, its operation and the rule that enables it (menu_state.cpp).
const std::array<AppDelegate::CommandRow, menuCommandCount> AppDelegate::commandRows = {{
    {MenuCommand::start, texts::startRow, &AppDelegate::start, &AppDelegate::startItem},
    {MenuCommand::stop, texts::stopRow, &AppDelegate::stop, &AppDelegate::stopItem, RowKind::plain,
     true},
    {MenuCommand::dashboard, texts::dashboardRow, &AppDelegate::dashboard,
     &AppDelegate::dashboardItem},
    {MenuCommand::qr, texts::qrRow, &AppDelegate::qr, &AppDelegate::qrItem, RowKind::plain, true},
    {MenuCommand::toggleAutomatic, texts::automaticRow, &AppDelegate::toggleAutomatic,
     &AppDelegate::autoItem, RowKind::checkMark},
    {MenuCommand::logs, texts::logsRow, &AppDelegate::logs, nullptr, RowKind::plain, true},
    {MenuCommand::quit, texts::quitRow, &AppDelegate::quit, &AppDelegate::quitItem},
}};

void AppDelegate::buildStatusMenu() {
    item = platform.statusBar.addStatusItem();
    item->button().setImage(std::string(texts::iconSymbol), std::string(texts::productName));
    item->button().setToolTip(std::string(texts::productName));

    // The two information rows stay disabled for good; the command rows start enabled and are set
    // by every rendering, except "Open Logs", which no one touches again.
    statusItem->setEnabled(false);
    detailItem->setEnabled(false);
    menu->addRow(statusItem);
    menu->addRow(detailItem);
    menu->addSeparator();
    for (const CommandRow& commandRow : commandRows) {
        std::shared_ptr<MenuRow> row =
            platform.menus.makeRow(std::string(commandRow.title), commandRow.kind);
        row->setAction(weakCall(weak_from_this(), commandRow.run));
        menu->addRow(row);
        if (commandRow.field != nullptr) {
            this->*commandRow.field = std::move(row);
        }
        if (commandRow.separatorAfter) {
            menu->addSeparator();
        }
    }

    item->setMenu(menu);
    menu->setAutoenablesItems(false);
}

}  // namespace quorvel
