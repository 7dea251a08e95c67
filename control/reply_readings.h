#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/control_reply.h"

namespace quorvel {

// The four ways the controller reads a key of a reply. A missing key, a JSON null and a value of
// another type are read alike. None of them throws, whatever `reply` holds (it need not be an
// object).

// The JSON string, possibly empty.
std::optional<std::string> textReading(const ControlReply& reply, std::string_view key);

// A JSON number whose value is a whole number in the signed 64-bit range (2.0 and 1e3 count; 2.5,
// 9.3e18 and "3" do not). Booleans are not counts.
std::optional<std::int64_t> countReading(const ControlReply& reply, std::string_view key);

// True only for JSON true. The numbers 0 and 1 are not flags.
bool flagReading(const ControlReply& reply, std::string_view key);

// The JSON array, in order, when every element is a boolean (an empty array included); otherwise
// the empty list.
std::vector<bool> flagListReading(const ControlReply& reply, std::string_view key);

// A reply is ok exactly when the flag reading of its "ok" is true.
bool isOk(const ControlReply& reply);

}  // namespace quorvel
