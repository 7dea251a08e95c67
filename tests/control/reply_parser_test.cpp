#include "control/reply_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "control/runner_replies.h"

namespace quorvel {
namespace {

std::string nested(std::size_t depth) {
    return "{\"a\": " + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}";
}

struct ParserCase {
    const char* name;
    std::string output;
};

void PrintTo(const ParserCase& c, std::ostream* os) {
    *os << c.name;
}

class UnreadableOutputTest : public ::testing::TestWithParam<ParserCase> {};

TEST_P(UnreadableOutputTest, GivesTheUnreadableOutputReply) {
    EXPECT_EQ(parseReply(GetParam().output), unreadableOutputReply());
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, UnreadableOutputTest,
    ::testing::Values(ParserCase{"empty", ""}, ParserCase{"whiteSpace", " \n\t\r "},
                      ParserCase{"array", R"([{"ok": true}])"}, ParserCase{"emptyArray", "[]"},
                      ParserCase{"string", R"("ok")"}, ParserCase{"number", "1"},
                      ParserCase{"boolean", "true"}, ParserCase{"null", "null"},
                      ParserCase{"trailingGarbage", R"({"ok": true} x)"},
                      ParserCase{"twoObjects", R"({"ok": true}{"ok": true})"},
                      ParserCase{"textBefore", R"(status: {"ok": true})"},
                      ParserCase{"truncated", R"({"ok": true, "state": "Run)"},
                      ParserCase{"trailingComma", R"({"ok": true,})"},
                      ParserCase{"comment", "{\"ok\": true} // done"},
                      ParserCase{"singleQuotes", "{'ok': true}"},
                      ParserCase{"nulAfterObject", std::string("{\"ok\": true}\0", 13)},
                      ParserCase{"garbageAfterNul", std::string("{\"ok\": true}\0garbage", 20)},
                      ParserCase{"invalidUtf8", "{\"state\": \"\xff\xfe\"}"},
                      ParserCase{"overlongUtf8", "{\"state\": \"\xc0\xaf\"}"},
                      ParserCase{"truncatedUtf8", "{\"state\": \"\xe6\xb8\"}"},
                      ParserCase{"loneSurrogate", R"({"state": "\ud800"})"},
                      ParserCase{"controlCharacterInString", "{\"state\": \"a\nb\"}"},
                      ParserCase{"utf16", std::string("{\0\"\0o\0k\0\"\0:\0t\0r\0u\0e\0}\0", 22)},
                      ParserCase{"oneLevelTooDeep", nested(maximumReplyNesting + 1)},
                      ParserCase{"halfAMillionLevels", std::string(500'000, '[')},
                      ParserCase{"deepButBalanced", "{\"a\": " + std::string(100'000, '[') +
                                                        std::string(100'000, ']') + "}"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyParser, ReturnsTheObjectUnchanged) {
    const std::string output =
        "\n  {\"ok\": false, \"state\": \"Running · ünï\", \"listeners\": 3, \"owned\": [true, "
        "false], \"extra\": {\"nested\": [null, 1.5, \"\\u00e9\"]}, \"error\": 7}\r\n\t ";
    const ControlReply reply = parseReply(output);
    EXPECT_EQ(reply, ControlReply::parse(output));
    EXPECT_EQ(reply.size(), 6u);
    EXPECT_EQ(reply.at("extra").at("nested").at(2), "é");
}

TEST(ReplyParser, AddsNoKeysToAnEmptyObject) {
    EXPECT_EQ(parseReply("{}"), ControlReply::object());
    EXPECT_TRUE(parseReply("{}").empty());
}

TEST(ReplyParser, AcceptsNestingUpToTheLimit) {
    EXPECT_TRUE(parseReply(nested(maximumReplyNesting)).is_object());
}

TEST(ReplyParser, CountsNoBracketsInsideStrings) {
    const std::string brackets(2 * maximumReplyNesting, '[');
    EXPECT_EQ(parseReply("{\"a\": \"" + brackets + "\"}").at("a"), brackets);
    // An escaped quote does not end the string, so the brackets after it are still text.
    EXPECT_EQ(parseReply("{\"a\": \"\\\"" + brackets + "\"}").at("a"), "\"" + brackets);
    EXPECT_EQ(parseReply("{\"a\": \"\\\\\", \"b\": 1}").at("b"), 1);
}

TEST(RunnerReplies, HaveExactlyOkFalseAndAnErrorText) {
    EXPECT_EQ(unreadableOutputReply(),
              (ControlReply{{"ok", false},
                            {"error",
                             "Unable to read service status. Check that Node.js and the "
                             "application are installed."}}));
    EXPECT_EQ(launchFailureReply("No such file or directory"),
              (ControlReply{{"ok", false}, {"error", "No such file or directory"}}));
    EXPECT_EQ(timeoutReply(std::chrono::seconds(30)),
              (ControlReply{{"ok", false},
                            {"error", "The control script did not finish within 30 seconds."}}));
    EXPECT_EQ(timeoutReply(std::chrono::milliseconds(1500)).at("error"),
              "The control script did not finish within 2 seconds.");
}

}  // namespace
}  // namespace quorvel
