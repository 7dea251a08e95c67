#include "control/reply_parser.h"

#include "control/runner_replies.h"

namespace quorvel {

namespace {

// Whether arrays and objects in `text` nest deeper than `maximumReplyNesting`, found without
// building anything. Exact for valid JSON; invalid text is refused by the parser anyway.
bool nestsTooDeep(std::string_view text) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        switch (c) {
            case '"':
                inString = true;
                break;
            case '[':
            case '{':
                if (++depth > maximumReplyNesting) {
                    return true;
                }
                break;
            case ']':
            case '}':
                if (depth > 0) {
                    --depth;
                }
                break;
            default:
                break;
        }
    }
    return false;
}

}  // namespace

ControlReply parseReply(std::string_view output) {
    // The JSON library takes a NUL byte for the end of its input and would ignore what follows;
    // valid JSON never holds one.
    if (output.find('\0') != std::string_view::npos || nestsTooDeep(output)) {
        return unreadableOutputReply();
    }
    ControlReply reply = ControlReply::parse(output, nullptr, /*allow_exceptions=*/false);
    if (reply.is_discarded() || !reply.is_object()) {
        return unreadableOutputReply();
    }
    return reply;
}

}  // namespace quorvel
