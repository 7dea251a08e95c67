#include "control/reply_readings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quorvel {
namespace {

ControlReply replyWith(std::string_view valueText) {
    return ControlReply::parse("{\"key\": " + std::string(valueText) + "}");
}

struct CountCase {
    const char* value;
    std::optional<std::int64_t> expected;
};

class CountReadingTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountReadingTest, ReadsOnlyWholeNumbersInTheSigned64BitRange) {
    EXPECT_EQ(countReading(replyWith(GetParam().value), "key"), GetParam().expected)
        << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, CountReadingTest,
    ::testing::Values(CountCase{"2", 2}, CountCase{"0", 0}, CountCase{"-7", -7},
                      CountCase{"2.0", 2}, CountCase{"1e3", 1000}, CountCase{"-0.0", 0},
                      CountCase{"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
                      CountCase{"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
                      CountCase{"9223372036854775808", std::nullopt},
                      CountCase{"18446744073709551615", std::nullopt},
                      CountCase{"9.3e18", std::nullopt}, CountCase{"-9.3e18", std::nullopt},
                      CountCase{"9.2233720368547758e18", std::nullopt},
                      CountCase{"2.5", std::nullopt}, CountCase{"\"3\"", std::nullopt},
                      CountCase{"true", std::nullopt}, CountCase{"false", std::nullopt},
                      CountCase{"null", std::nullopt}, CountCase{"[1]", std::nullopt},
                      CountCase{"{\"a\": 1}", std::nullopt}));

TEST(CountReading, RefusesValuesThatNoJsonTextHoldsButATreeCan) {
    for (const double value : {std::nan(""), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()}) {
        EXPECT_EQ(countReading(ControlReply{{"key", value}}, "key"), std::nullopt) << value;
    }
}

TEST(TextReading, ReadsStringsOnly) {
    EXPECT_EQ(textReading(replyWith("\"Running\""), "key"), "Running");
    EXPECT_EQ(textReading(replyWith("\"\""), "key"), "");
    EXPECT_EQ(textReading(replyWith("\"ünï 測試\""), "key"), "ünï 測試");
    for (const char* other : {"null", "1", "true", "[\"a\"]", "{\"a\": \"b\"}"}) {
        EXPECT_EQ(textReading(replyWith(other), "key"), std::nullopt) << other;
    }
    EXPECT_EQ(textReading(replyWith("\"x\""), "other"), std::nullopt);
}

TEST(FlagReading, IsTrueOnlyForJsonTrue) {
    EXPECT_TRUE(flagReading(replyWith("true"), "key"));
    for (const char* other : {"false", "1", "0", "\"true\"", "null", "[true]"}) {
        EXPECT_FALSE(flagReading(replyWith(other), "key")) << other;
    }
    EXPECT_FALSE(flagReading(replyWith("true"), "other"));
}

TEST(FlagListReading, ReadsArraysOfBooleansOnly) {
    EXPECT_EQ(flagListReading(replyWith("[true, false, true]"), "key"),
              (std::vector<bool>{true, false, true}));
    EXPECT_EQ(flagListReading(replyWith("[]"), "key"), std::vector<bool>{});
    for (const char* other :
         {"[true, 1]", "[null]", "[[true]]", "[\"true\"]", "true", "null", "{\"0\": true}"}) {
        EXPECT_EQ(flagListReading(replyWith(other), "key"), std::vector<bool>{}) << other;
    }
}

TEST(IsOk, DependsOnlyOnTheFlagReadingOfOk) {
    EXPECT_TRUE(isOk(ControlReply::parse(R"({"ok": true, "error": "ignored"})")));
    for (const char* reply :
         {R"({"ok": false})", R"({"ok": 1})", R"({"ok": "true"})", R"({"ok": null})", "{}",
          R"({"OK": true})", R"({"state": "Running"})"}) {
        EXPECT_FALSE(isOk(ControlReply::parse(reply))) << reply;
    }
}

TEST(Readings, NeverThrowOnRepliesThatAreNotObjects) {
    const ControlReply notObjects[] = {
        ControlReply::parse("not json", nullptr, false),  // a discarded value
        ControlReply(),
        ControlReply::array({true}),
        ControlReply("ok"),
        ControlReply(1),
        ControlReply(true)};
    for (const ControlReply& reply : notObjects) {
        EXPECT_EQ(textReading(reply, "ok"), std::nullopt);
        EXPECT_EQ(countReading(reply, "ok"), std::nullopt);
        EXPECT_FALSE(flagReading(reply, "ok"));
        EXPECT_EQ(flagListReading(reply, "ok"), std::vector<bool>{});
        EXPECT_FALSE(isOk(reply));
    }
}

}  // namespace
}  // namespace quorvel
