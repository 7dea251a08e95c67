#include "control/runner_replies.h"

#include <string>

#include "control/control_words.h"

namespace quorvel {

namespace {

ControlReply failureReply(std::string error) {
    return ControlReply{{keys::ok, false}, {keys::error, std::move(error)}};
}

}  // namespace

ControlReply launchFailureReply(std::string_view description) {
    return failureReply(std::string(description));
}

ControlReply unreadableOutputReply() {
    return failureReply(
        "Unable to read service status. Check that Node.js and the application are installed.");
}

ControlReply waitFailureReply(std::string_view description) {
    return failureReply("Could not wait for the control script to finish (" +
                        std::string(description) + ").");
}

ControlReply timeoutReply(std::chrono::milliseconds limit) {
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(limit).count();
    return failureReply("The control script did not finish within " + std::to_string(seconds) +
                        " seconds.");
}

}  // namespace quorvel
