#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "control/control_reply.h"

namespace quorvel {

using ReplyHandler = std::function<void(ControlReply)>;

// Runs control commands one at a time, in the order submitted, off the main thread.
class ControlQueue {
  public:
    virtual ~ControlQueue() = default;

    // Runs "control-app.cjs" in `baseDirectory` once with `verb`, and returns at once. `completion`
    // is called exactly once, on the main thread, with the script's reply or a failure reply;
    // completions arrive in submission order.
    virtual void perform(std::filesystem::path baseDirectory, std::string verb,
                         ReplyHandler completion) = 0;
};

}  // namespace quorvel
