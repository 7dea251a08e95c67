#include <utility>

#include "app/app_delegate.h"
#include "app/product_texts.h"
#include "control/control_words.h"
#include "control/reply_readings.h"

namespace quorvel {

namespace {

// What a status reply that is not ok is replaced with: nothing of the reply or of the previous
// state survives but the reply's "error", whatever its type.
ControlReply attentionState(const ControlReply& reply) {
    ControlReply attention = ControlReply::object();
    attention[keys::state] = texts::needsAttention;
    const auto error = reply.is_object() ? reply.find(keys::error) : reply.end();
    attention[keys::detail] =
        error != reply.end() ? *error : ControlReply(texts::unableToReadStatus);
    return attention;
}

}  // namespace

void AppDelegate::refresh() {
    // A poll while any command is in flight is dropped, not queued: the next tick tries again.
    if (busy) {
        return;
    }
    busy = true;
    pollInFlight = true;
    perform(verbs::status, [weak = weak_from_this()](ControlReply reply) {
        if (const auto self = weak.lock()) {
            self->handleStatusReply(std::move(reply));
        }
    });
}

void AppDelegate::handleStatusReply(ControlReply reply) {
    busy = false;
    pollInFlight = false;
    state = isOk(reply) ? std::move(reply) : attentionState(reply);
    render();
    // The start that "--auto-start" asked for follows the first status reply, whatever it said.
    if (autoStartPending) {
        autoStartPending = false;
        action(verbs::start, texts::starting);
    }
    runCommandChosenDuringPoll();
}

}  // namespace quorvel
