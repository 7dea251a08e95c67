#pragma once

#include <nlohmann/json.hpp>

namespace quorvel {

// The JSON object that one run of the control script printed, handed on unchanged; or one of the
// runner's own failure replies, {"ok": false, "error": "..."}.
using ControlReply = nlohmann::json;

}  // namespace quorvel
