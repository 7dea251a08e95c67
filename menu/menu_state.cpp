#include "menu/menu_state.h"

#include <algorithm>
#include <vector>

#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"

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

MenuState menuState(const ControlReply& lastReply, bool busy) {
    MenuState shown;
    const std::string stateWord =
        textReading(lastReply, keys::state).value_or(std::string(texts::needsAttention));
    shown.headline = texts::headline(stateWord);

    const std::optional<std::int64_t> listeners = countReading(lastReply, keys::listeners);
    shown.detail =
        listeners ? listenerText(*listeners) : std::string(texts::listenerCountUnavailable);
    shown.detailToolTip = textReading(lastReply, keys::detail);
    shown.iconToolTip = shown.detailToolTip.value_or(stateWord);

    const std::vector<bool> owned = flagListReading(lastReply, keys::owned);
    const bool ownsSomething = std::ranges::find(owned, true) != owned.end();
    const bool configured = flagReading(lastReply, keys::configured);
    const bool pagesOpen = owned.size() >= 2 && owned[1];
    auto enable = [&shown](MenuCommand command, bool enabled) {
        shown.enabled[static_cast<std::size_t>(command)] = enabled;
    };
    enable(MenuCommand::start, !busy && configured && stateWord == keys::stoppedState);
    enable(MenuCommand::stop, !busy && ownsSomething && !flagReading(lastReply, keys::foreign));
    enable(MenuCommand::dashboard, !busy && pagesOpen);
    enable(MenuCommand::qr, !busy && pagesOpen);
    enable(MenuCommand::toggleAutomatic, !busy && configured);
    enable(MenuCommand::logs, true);
    enable(MenuCommand::quit, !busy);
    shown.automaticChecked = flagReading(lastReply, keys::automatic);
    return shown;
}

}  // namespace quorvel
