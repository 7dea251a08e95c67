#include "app/app_delegate.h"
#include "menu/menu_state.h"

namespace quorvel {

// Draws the menu state of `state` and `busy`. Every element it writes is rewritten on each call;
// "Open Logs" and the icon's image are never touched.
void AppDelegate::render() {
    const MenuState shown = menuState(state, busy);
    statusItem->setTitle(shown.headline);
    detailItem->setTitle(shown.detail);
    detailItem->setToolTip(shown.detailToolTip);
    for (const CommandRow& row : commandRows) {
        if (row.field != nullptr) {
            (this->*row.field)->setEnabled(shown.isEnabled(row.command));
        }
    }
    autoItem->setChecked(shown.automaticChecked);
    item->button().setToolTip(shown.iconToolTip);
}

}  // namespace quorvel
