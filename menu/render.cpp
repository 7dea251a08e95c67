#include <algorithm>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"
#include "menu/headline.h"

namespace quorvel {

namespace {

std::string listenerText(std::int64_t listeners) {
    std::string text = std::to_string(listeners).append(texts::connectedListener);
    if (listeners != 1) {
        text += 's';
    }
    return text;
}

}  // namespace

// Draws `state` and `busy` into the menu. Every element it writes is rewritten on each call, so
// the menu depends on nothing but those two; "Open Logs" and the icon are never touched.
void AppDelegate::render() {
    const std::string stateWord =
        textReading(state, keys::state).value_or(std::string(texts::needsAttention));
    statusItem->setTitle(headline(stateWord));

    const std::optional<std::int64_t> listeners = countReading(state, keys::listeners);
    detailItem->setTitle(listeners ? listenerText(*listeners)
                                   : std::string(texts::listenerCountUnavailable));
    const std::optional<std::string> detail = textReading(state, keys::detail);
    detailItem->setToolTip(detail);

    const std::vector<bool> owned = flagListReading(state, keys::owned);
    const bool ownsSomething = std::find(owned.begin(), owned.end(), true) != owned.end();
    const bool configured = flagReading(state, keys::configured);

    startItem->setEnabled(!busy && configured && stateWord == keys::stoppedState);
    stopItem->setEnabled(!busy && ownsSomething && !flagReading(state, keys::foreign));
    dashboardItem->setEnabled(!busy && owned.size() >= 2 && owned[1]);
    qrItem->setEnabled(dashboardItem->isEnabled());
    autoItem->setEnabled(!busy && configured);
    autoItem->setChecked(flagReading(state, keys::automatic));
    quitItem->setEnabled(!busy);

    if (StatusButton* button = item->button()) {
        button->setToolTip(detail.value_or(stateWord));
    }
}

}  // namespace quorvel
