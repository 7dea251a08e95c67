#pragma once

#include <cstddef>
#include <string_view>

#include "control/control_reply.h"

namespace quorvel {

// Arrays and objects nested deeper than this are refused: a deep enough tree would overflow the
// stack later, when the reply is copied, compared or printed.
inline constexpr std::size_t maximumReplyNesting = 512;

// The reply held in what the control script printed: exactly one JSON object in UTF-8, with
// nothing but white space around it, returned unchanged. Anything else (empty output, another
// JSON value, trailing text, invalid UTF-8, nesting past `maximumReplyNesting`) gives the
// unreadable-output reply. A leading UTF-8 byte order mark is tolerated. Never throws on bad input.
ControlReply parseReply(std::string_view output);

}  // namespace quorvel
