#include "control/reply_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/runner_replies.h"

namespace quorvel {
namespace {

std::string nested(std::size_t depth) {
    return "{\"a\": " + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}";
}

TEST(ReplyParser, ReturnsOneObjectUnchangedAndRefusesAnythingElse) {
    const std::string brackets(2 * maximumReplyNesting, '[');
    // Brackets in a string are text, after an escaped quote too.
    for (const std::string& object :
         {std::string("{}"), nested(maximumReplyNesting), "{\"a\": \"\\\"" + brackets + "\"}"}) {
        EXPECT_EQ(parseReply(object), ControlReply::parse(object)) << object.substr(0, 80);
    }
    const ControlReply unreadable{{"ok", false},
                                  {"error",
                                   "Unable to read service status. Check that Node.js and the "
                                   "application are installed."}};
    const std::vector<std::string> others = {
        "",
        R"([{"ok": true}])",
        R"("ok")",
        "1",
        "null",
        R"({"ok": true} x)",
        "{\"state\": \"\xff\xfe\"}",
        std::string("{\"ok\": true}\0garbage", 20),
        nested(maximumReplyNesting + 1),
        std::string(500'000, '['),
    };
    for (const std::string& output : others) {
        EXPECT_EQ(parseReply(output), unreadable) << ::testing::PrintToString(output.substr(0, 80));
    }
}

}  // namespace
}  // namespace quorvel
