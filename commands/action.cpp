#include <string>
#include <utility>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"

namespace quorvel {

// Runs a verb that changes the service, one at a time, with `title` in the headline meanwhile.
// `then` runs only after a successful reply has been drawn; a request while busy is dropped with
// its continuation.
void AppDelegate::action(std::string_view verb, std::string_view title,
                         std::function<void()> then) {
    if (busy) {
        return;
    }
    busy = true;
    render();
    statusItem->setTitle(texts::headline(title));
    perform(verb, [weak = weak_from_this(), then = std::move(then)](ControlReply reply) {
        if (const auto self = weak.lock()) {
            self->handleActionReply(std::move(reply), then);
        }
    });
}

void AppDelegate::handleActionReply(ControlReply reply, const std::function<void()>& then) {
    busy = false;
    if (isOk(reply)) {
        state = std::move(reply);
        render();
        if (then) {
            then();
        }
        return;
    }

    // A failed reply is never stored: the alert says what went wrong, and a fresh status poll
    // redraws the menu afterwards (unless another command has started meanwhile).
    const std::string detail =
        textReading(reply, keys::error).value_or(std::string(texts::actionDidNotComplete));
    platform.application.bringToFront();
    platform.alerts.runModal(Alert{std::string(texts::failureMessage), detail, {}, {}});
    refresh();
}

}  // namespace quorvel
