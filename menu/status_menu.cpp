#include <string>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "app/weak_call.h"

namespace quorvel {

void AppDelegate::buildStatusMenu() {
    item = platform.statusBar.addStatusItem();
    if (StatusButton* button = item->button()) {
        button->setImage(std::string(texts::iconSymbol), std::string(texts::productName));
        button->setToolTip(std::string(texts::productName));
    }

    // The two information rows stay disabled for good; the command rows start enabled and are set
    // by every rendering, except "Open Logs", which no one touches again.
    statusItem->setEnabled(false);
    detailItem->setEnabled(false);
    menu->addRow(statusItem);
    menu->addRow(detailItem);
    menu->addSeparator();
    startItem = addCommandRow(texts::startRow, &AppDelegate::start);
    stopItem = addCommandRow(texts::stopRow, &AppDelegate::stop);
    menu->addSeparator();
    dashboardItem = addCommandRow(texts::dashboardRow, &AppDelegate::dashboard);
    qrItem = addCommandRow(texts::qrRow, &AppDelegate::qr);
    menu->addSeparator();
    autoItem =
        addCommandRow(texts::automaticRow, &AppDelegate::toggleAutomatic, RowKind::checkMark);
    addCommandRow(texts::logsRow, &AppDelegate::logs);
    menu->addSeparator();
    quitItem = addCommandRow(texts::quitRow, &AppDelegate::quit);

    item->setMenu(menu);
    menu->setAutoenablesItems(false);
}

std::shared_ptr<MenuRow> AppDelegate::addCommandRow(std::string_view title,
                                                    void (AppDelegate::*command)(), RowKind kind) {
    std::shared_ptr<MenuRow> row = platform.menus.makeRow(std::string(title), kind);
    row->setAction(weakCall(weak_from_this(), command));
    menu->addRow(row);
    return row;
}

}  // namespace quorvel
