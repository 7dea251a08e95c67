#pragma once

#include <chrono>
#include <string_view>

#include "control/control_reply.h"

namespace quorvel {

// The replies the runner makes itself when the control script gives none of its own. Each has
// exactly "ok" false and an "error" string.

// The command could not be started; `description` says why (for example "No such file or
// directory").
ControlReply launchFailureReply(std::string_view description);

// The script's standard output was not exactly one JSON object.
ControlReply unreadableOutputReply();

// The script could no longer be watched and has been stopped; `description` says why.
ControlReply waitFailureReply(std::string_view description);

// The script was still running when `limit` ran out and has been stopped. The text names the
// limit in whole seconds, rounded up.
ControlReply timeoutReply(std::chrono::milliseconds limit);

}  // namespace quorvel
