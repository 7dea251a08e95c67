#include "app/app_delegate.h"

namespace quorvel {

// Draws the menu state of `state` and `busy`. Every element it writes is rewritten on each call;
// "Open Logs" and the icon's image are never touched.
void AppDelegate::render() {
    const MenuState shown = menuState(state, busy);
    statusItem->setTitle(shown.headline);
    detailItem->setTitle(shown.detail);
    detailItem->setToolTip(shown.detailToolTip);
    startItem->setEnabled(shown.enabled.start);
    stopItem->setEnabled(shown.enabled.stop);
    dashboardItem->setEnabled(shown.enabled.dashboard);
    qrItem->setEnabled(shown.enabled.qr);
    autoItem->setEnabled(shown.enabled.automatic);
    autoItem->setChecked(shown.automaticChecked);
    quitItem->setEnabled(shown.enabled.quit);
    item->button().setToolTip(shown.iconToolTip);
}

}  // namespace quorvel
